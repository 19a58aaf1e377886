#pragma once
#include <optional>
#include <string>
#include <vector>

#include "storage/CsvLayout.h"
#include "storage/CsvRecordReader.h"
#include "storage/FileFingerprint.h"
#include "storage/StoreColumns.h"

namespace storage {

// The file side of a store: reads records into its columns, appends one row,
// and takes the lines of removed records out of the file. A removal copies
// the file as it is, leaving out exactly the bytes of those lines, so every
// other line keeps its bytes, whatever its form and however long the file.
class StoreFile {
public:
    enum class LoadResult { Loaded, Missing, Locked, Failed };

    StoreFile(std::string fileName, CsvLayout layout);

    // Reads the file, as far as FILE_BYTES_SCANNED, and appends its records
    // to rows `count` onwards, as many as fit below MAX_RECORDS - 1 rows,
    // raising `count`; the others are counted as unread. Anything but Loaded
    // leaves the rows untouched.
    LoadResult load(ColumnList columns, int& count);

    // The store was emptied: it holds nothing of the file any more.
    void forget();

    // Appends one row as one line (after a CR LF when the file's last line
    // has no line end). True only when the whole line is in the file.
    bool append(ColumnList columns, int row) const;

    // The record loaded into `row` is to leave the file with the next
    // replace; the rows after it move up one, as in the store.
    void removeLine(int row);

    // Takes the lines of the removed records out of the file. Refused (false,
    // file untouched) when the file no longer holds the bytes loaded (others
    // appended or rewrote it since). True at once when nothing was removed.
    bool replace();

    // Records in the file that the last load did not keep.
    int unreadLineCount() const { return unreadLines; }
    // True when the last load stopped before the end of the file, so that
    // more records may follow than unreadLineCount says.
    bool stoppedBeforeEnd() const { return stoppedEarly; }

private:
    using LineSpan = CsvRecordReader::LineSpan;

    bool copyWithoutRemovedLines(class DataFile& file);

    std::string fileName;
    CsvLayout layout;
    // What was loaded: the bytes read (the first scannedBytes of the file)
    // and the file's size. Empty when unknown (a read failed), which refuses
    // every replace until the next successful load.
    std::optional<FileFingerprint> knownContents;
    long long scannedBytes = 0;
    long long fileSize = 0;
    // The line of each record held, by row, and the lines removed since.
    std::vector<LineSpan> rowLines;
    std::vector<LineSpan> removedLines;
    bool removedUnknownLine = false;
    int unreadLines = 0;
    bool stoppedEarly = false;
};

}  // namespace storage
