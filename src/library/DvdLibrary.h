#pragma once
#include <array>
#include <string>
#include <vector>

#include "storage/StoreColumns.h"
#include "storage/StoreFile.h"
#include "storage/StoreLimits.h"

// The DVD collection in memory: four parallel columns of byte strings, a
// working copy of the library file "DVDBibliothek.csv" in the current
// directory. Rows 0 to recordCount() - 1 hold the records in file order.
class DvdLibrary {
public:
    DvdLibrary();

    // Empties the records and the row after them (also what a form left in
    // WORK_ROW).
    void clear();
    // Appends the file's records; false when the file is missing, unreadable
    // or locked by someone else for longer than a store waits.
    bool load();
    // Whether the last load or search found the file locked.
    bool wasLocked() const;
    // Appends WORK_ROW to the file; true only when the whole line reached it.
    bool appendRecord();
    // Takes the lines of the records removed since the load out of the file,
    // leaving every other byte as it is, lines appended since included.
    // Refused (ChangedMeanwhile) when the file changed otherwise.
    storage::SaveResult saveAll();
    // A row loaded, or a record number findTitleGerman gave.
    void removeRecord(int row);
    // The number in the file of the first record with exactly this German
    // title, looked for through the whole file as far as a load reads
    // (FILE_BYTES_SCANNED), or NOT_FOUND; no rows are filled.
    static constexpr int NOT_FOUND = storage::StoreFile::Search::NOT_FOUND;
    int findTitleGerman(const std::string& title);
    // The same, and that record's values in WORK_ROW, for a form to correct.
    int findRecordForEdit(const std::string& title);
    // Puts WORK_ROW in place of the text of the line findRecordForEdit found
    // (its line end stays), leaving every other byte of the file as it is,
    // lines appended since included. Refused (ChangedMeanwhile) when the file
    // changed otherwise; Failed when a value it kept was cut on reading.
    storage::SaveResult replaceRecord(int record);
    // Whether the last search stopped at FILE_BYTES_SCANNED without a find.
    bool searchStoppedAtBound() const;
    // The records with exactly this German title in the whole file (as far
    // as a load reads): the copies of that DVD in the collection.
    storage::StoreFile::Count copiesOf(const std::string& titleGerman) const;
    // Hands each record of the file (as far as a load reads) to `visit` as
    // its fields, one at a time, holding none; false when it cannot be read.
    static bool visitFileRecords(const storage::StoreFile::RecordVisitor& visit);
    int recordCount() const;
    // Records in the file that the last load could not hold (0 when complete).
    int unreadLineCount() const;
    // True when the load stopped reading before the end of a huge file, so
    // that unreadLineCount counts only part of what was not read.
    bool hasUncountedLines() const;
    bool isComplete() const;

    // Whether a typed running time is accepted: a decimal integer in the
    // signed 32-bit range, after optional white space and sign, other than -1.
    bool isValidLength(std::string text) const;

    void setGenre(std::string text, int row);
    std::string getGenre(int row) const;
    void setTitleGerman(std::string text, int row);
    std::string getTitleGerman(int row) const;
    void setTitleEnglish(std::string text, int row);
    std::string getTitleEnglish(int row) const;
    void setLengthMinutes(std::string text, int row);
    std::string getLengthMinutes(int row) const;

private:
    std::array<storage::StoreColumn*, 4> columns();

    storage::StoreColumn genre;
    storage::StoreColumn titleGerman;
    storage::StoreColumn titleEnglish;
    storage::StoreColumn lengthMinutes;
    int count = 0;
    storage::StoreFile file;
    storage::StoreFile::LoadResult lastLoad = storage::StoreFile::LoadResult::Missing;
    storage::StoreFile::Search lastSearch;
    std::vector<std::string> cutValuesFound;  // of the record to correct: values a read cut short
};
