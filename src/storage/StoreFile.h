#pragma once
#include <optional>
#include <string>

#include "storage/CsvLayout.h"
#include "storage/FileFingerprint.h"
#include "storage/StoreColumns.h"

namespace storage {

// The file side of a store: reads records into its columns, appends one row,
// and writes all rows back, without ever losing a line that is in the file.
// It remembers the bytes last loaded and the records that did not fit, so
// that writing back refuses when the store does not hold the whole file.
class StoreFile {
public:
    StoreFile(std::string fileName, CsvLayout layout);

    // Reads the whole file and appends its records to rows `count` onwards,
    // as many as fit below MAX_RECORDS - 1 rows, raising `count`; the others
    // are counted as unread. False when the file is missing or cannot be
    // read; the rows are then untouched.
    bool load(ColumnList columns, int& count);

    // The store was emptied: it holds nothing of the file any more.
    void forget();

    // Appends one row as one line (after a CR LF when the file's last line
    // has no line end). True only when the whole line is in the file.
    bool append(ColumnList columns, int row) const;

    // Replaces the file with rows 0 to count - 1. Refused (false, file
    // untouched) when records were left unread or when the file no longer
    // holds the bytes loaded (others appended or rewrote it since).
    bool replace(ColumnList columns, int count);

    int unreadLineCount() const { return unreadLines; }

private:
    std::string fileName;
    CsvLayout layout;
    // The file's bytes as last loaded or written; empty when unknown (a read
    // failed), which refuses every replace until the next successful load.
    std::optional<FileFingerprint> knownContents;
    int unreadLines = 0;
};

}  // namespace storage
