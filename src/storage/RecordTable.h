#pragma once
#include <span>
#include <string_view>

// A data file's record, described once: its file, the shape of its line and
// every field as the stores, forms, lists, printout, text lists, statistics,
// import and completion take it. Each data file has one such table
// (library/LibraryRecord.h, rental/RentalRecord.h, rental/LendingJournal.h).
namespace storage {

// The shape of one line of a data file.
struct CsvLayout {
    int columnCount = 0;
    // The library file ends every line with a separator, the rental file not.
    bool separatorAfterLastField = false;
    // A line whose fields after these are all empty is written with these
    // alone, as files of the plain format have it (0: every field, always).
    int plainColumnCount = 0;
};

// What a field holds, for reading, ordering and aligning its values.
enum class ValueKind {
    Text,
    RunningTime,  // minutes, as DvdLibrary::lengthInMinutes reads them
    Date,         // JJJJ-MM-TT
    Year,         // four digits, from 1888 to next year
    Ean,          // a barcode of 8, 12 or 13 digits with its check digit
};

// How 's' orders a list by a field: text as in a German dictionary, titles
// as a catalogue files them (a number in them by its value, a leading
// article passed over), numbers by value, or not at all.
enum class SortAs { Unsorted, Text, Title, Number };

struct FieldSpec {
    std::string_view name;       // as a spreadsheet's header names it ("Titel in Deutsch")
    std::string_view head;       // column head of the lists, the printout and the text list
    std::string_view formLabel;  // label in a form; empty where no form asks for it
    int formRow = 0;
    int length = 0;       // characters a form takes; the printed column's width
    char formStep = '\0';  // the key at the save prompt that asks for the field again
    int listColumn = 0;    // where the screen list shows it, unless longer values before push it right
    SortAs sortAs = SortAs::Unsorted;
    ValueKind kind = ValueKind::Text;
    // Column names of files from elsewhere that the import takes for the
    // field, as they read folded (lower case, no accents, ß as ss).
    std::span<const std::string_view> importNames = {};
};

struct RecordTable {
    std::string_view fileName;
    CsvLayout line;
    std::span<const FieldSpec> fields;  // in the order of the line
    std::string_view listName;          // title of the printout and the text list
    std::string_view oneRecord;         // the count line's noun: "1 DVD"
    std::string_view manyRecords;       // "130 DVDs"
};

}  // namespace storage
