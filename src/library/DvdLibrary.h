#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/LibraryRecord.h"
#include "storage/RecordStore.h"

// The DVD collection in memory: four parallel columns of byte strings, a
// working copy of the library file "DVDBibliothek.csv" in the current
// directory. Rows 0 to recordCount() - 1 hold the records in file order.
// Loading, appending, removing and saving are the RecordStore's.
class DvdLibrary : public storage::RecordStore {
public:
    DvdLibrary();

    // The number in the file of the first record with exactly this German
    // title, looked for through the whole file as far as a load reads
    // (FILE_BYTES_SCANNED), or NOT_FOUND; no rows are filled. All of them,
    // the copies of that DVD, are recordsFound().
    int findTitleGerman(const std::string& title);
    // Puts the values of WORK_ROW typed into a form (typedColumns, by column)
    // in place of those fields of a record the last search found, leaving
    // every other byte of the file as it is: the fields only confirmed, the
    // rest of its line, lines appended since. Refused (ChangedMeanwhile) when
    // the file changed otherwise.
    storage::SaveResult replaceRecord(int record, const std::vector<bool>& typedColumns);
    // The records with exactly this German title in the whole file (as far
    // as a load reads): the copies of that DVD in the collection. Reads the
    // file alone: no store is needed.
    static storage::RecordCount copiesOf(const std::string& titleGerman);

    // A running time as the program reads it wherever it reads one (the
    // form's check, the import, the sort, the statistics): a decimal integer
    // in the signed 32-bit range, after optional white space and sign, other
    // than -1; what follows its digits does not count. Nothing when the text
    // holds no running time.
    static std::optional<int> lengthInMinutes(std::string_view text);
    // Whether a typed running time is accepted: lengthInMinutes reads one.
    bool isValidLength(std::string text) const;
    // A year as the library keeps it: none, or four digits from the year of
    // the first films, 1888, to `nextYear`.
    static bool isValidYear(std::string_view text, int nextYear);
    // A barcode as the library keeps it: none, or 8, 12 or 13 digits whose
    // last is the check digit of the others (EAN-8, UPC-A, EAN-13).
    static bool isValidEan(std::string_view text);

    void setGenre(std::string text, int row);
    std::string getGenre(int row) const;
    void setTitleGerman(std::string text, int row);
    std::string getTitleGerman(int row) const;
    void setTitleEnglish(std::string text, int row);
    std::string getTitleEnglish(int row) const;
    void setLengthMinutes(std::string text, int row);
    std::string getLengthMinutes(int row) const;
};
