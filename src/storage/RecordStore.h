#pragma once
#include <string>
#include <utility>
#include <vector>

#include "storage/StoreFile.h"
#include "storage/StoreLimits.h"

// The row of a store in which a form assembles the one record it appends;
// not a record.
constexpr int WORK_ROW = 0;

namespace storage {

// What the two stores share: a working copy of one data file in the current
// directory as parallel columns of byte strings, one a field of its line.
// Rows 0 to recordCount() - 1 hold the records in file order.
class RecordStore {
public:
    // Not copied: the column list points into the store's own columns.
    RecordStore(const RecordStore&) = delete;
    RecordStore& operator=(const RecordStore&) = delete;

    // Empties the records and the row after them (also what a form left in
    // WORK_ROW).
    void clear();
    // Appends the file's records; false when the file is missing, unreadable
    // or locked by someone else for longer than a store waits.
    bool load();
    // Whether the last load or search found the file locked.
    bool wasLocked() const;
    // How the last load or search found the file.
    LoadResult loadResult() const { return lastLoad; }
    // Appends WORK_ROW to the file; true only when the whole line reached it.
    bool appendRecord();
    // Takes the lines of the records removed since the load out of the file,
    // leaving every other byte as it is, lines appended since included.
    // Refused (ChangedMeanwhile) when the file changed otherwise.
    SaveResult saveAll();
    // A row loaded, or a record number the last search gave.
    void removeRecord(int row);
    static constexpr int NOT_FOUND = StoreFile::Search::NOT_FOUND;
    // The records the last search found, in file order (none once removed).
    const std::vector<StoreFile::Match>& recordsFound() const;
    // Whether the last search stopped at FILE_BYTES_SCANNED without a find.
    bool searchStoppedAtBound() const;
    int recordCount() const;
    // The value of field `column` in a row.
    const std::string& value(int column, int row) const { return fields[static_cast<std::size_t>(column)][row]; }
    void setValue(int column, int row, std::string text) { fields[static_cast<std::size_t>(column)][row] = std::move(text); }
    const RecordTable& table() const { return recordTable; }
    // Records in the file that the last load could not hold (0 when complete).
    int unreadLineCount() const;
    // True when the load stopped reading before the end of a huge file, so
    // that unreadLineCount counts only part of what was not read.
    bool hasUncountedLines() const;

protected:
    explicit RecordStore(const RecordTable& table);

    // The number in the file of the first record whose field `column` holds
    // exactly `text`, looked for through the whole file as far as a load
    // reads (FILE_BYTES_SCANNED), or NOT_FOUND; no rows are filled. The
    // others that hold it are recordsFound().
    int findRecord(int column, const std::string& text);
    ColumnList columns() const { return columnPointers; }

    const RecordTable& recordTable;
    std::vector<StoreColumn> fields;  // one column a field, in the order of the line
    StoreFile file;
    StoreFile::LoadResult lastLoad = StoreFile::LoadResult::Missing;
    StoreFile::Search lastSearch;

private:
    std::vector<StoreColumn*> columnPointers;
    int count = 0;
};

}  // namespace storage
