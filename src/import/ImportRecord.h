#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/ImportInput.h"
#include "library/LibraryRecord.h"

// Which column of a file from elsewhere holds which field of a record.
namespace import_file {

using library_record::Column;
constexpr std::size_t FIELD_COUNT = library_record::COLUMN_COUNT;

// A column name reduced for matching: folded as the list filter folds
// (lower case, accents taken off, ß as ss), blanks at either end dropped.
std::string foldedName(std::u32string_view name);

// The field a column name (folded or not) stands for, if any: one whose
// import names (library/LibraryRecord.h) hold it.
std::optional<Column> fieldNamed(std::u32string_view name);

struct ColumnMap {
    static constexpr int NONE = -1;
    // The column of each field, or NONE where the file has none.
    std::array<int, FIELD_COUNT> columnOf = [] {
        std::array<int, FIELD_COUNT> none{};
        none.fill(NONE);
        return none;
    }();
    // The file's columns that no field takes, by their names as written.
    std::vector<std::size_t> ignored;
    // The genre column holds a list ("Drama, Crime"): its first entry counts.
    bool genreIsList = false;
};

// A first line is a header when one of its fields names a field.
bool isHeader(const std::vector<std::u32string>& firstLine);

// The columns of a header; of two naming the same field the first counts.
ColumnMap mapHeader(const std::vector<std::u32string>& header);

// Without a header: the first four columns in the program's order.
ColumnMap programOrder(std::size_t columnCount);

}  // namespace import_file

// One line of a file from elsewhere taken as the new-DVD form takes typed
// values.
namespace import_file {

struct TakenRecord {
    std::array<std::string, FIELD_COUNT> values;  // code page 850, as stored
    std::string refusal;             // why the record is not taken; empty when it is
    std::vector<std::string> notes;  // values left out or cut
    bool withoutLength = false;      // taken with an empty running time
};

// Reads a running time as a spreadsheet or a film site writes it into
// minutes: "2:22" and "2:22:00" (H:MM, H:MM:SS), "142,0" and "142.0", "142
// min", "2 Std. 22 Min." and "2h 22m" give "142". Anything else stays as
// it is, for the form's check; nothing for a colon that is neither H:MM nor
// H:MM:SS.
std::optional<std::string> lengthAsMinutes(const std::string& text);

// A year or a barcode the form would not take is left empty and noted; a
// value is kept whole as far as a field of the library is read.
TakenRecord takeRecord(const std::vector<std::string>& fields, const ColumnMap& map, Encoding encoding, int nextYear);

}  // namespace import_file
