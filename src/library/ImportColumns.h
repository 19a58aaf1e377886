#pragma once
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/LibraryRecord.h"

// Which column of a file from elsewhere holds which field of a record.
namespace import_file {

// The library's fields, in the program's order.
enum class Field {
    Genre = library_record::GENRE,
    TitleGerman = library_record::TITLE_GERMAN,
    TitleEnglish = library_record::TITLE_ENGLISH,
    Length = library_record::LENGTH_MINUTES,
};
constexpr std::size_t FIELD_COUNT = library_record::COLUMN_COUNT;

// A column name reduced for matching: folded as the list filter folds
// (lower case, accents taken off, ß as ss), blanks at either end dropped.
std::string foldedName(std::u32string_view name);

// The field a column name (folded or not) stands for, if any.
std::optional<Field> fieldNamed(std::u32string_view name);

struct ColumnMap {
    // The column of each field, or -1 where the file has none.
    std::array<int, FIELD_COUNT> columnOf{-1, -1, -1, -1};
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
