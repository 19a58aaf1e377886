#include "library/ImportColumns.h"

#include <algorithm>

#include "console/PlainForm.h"
#include "console/TextFolding.h"

namespace import_file {
namespace {

struct KnownName {
    std::string_view folded;
    Field field;
};

// As folded: the names collection programs, film sites and spreadsheets use.
constexpr KnownName KNOWN_NAMES[] = {
    {"film art", Field::Genre},          {"filmart", Field::Genre},
    {"art", Field::Genre},               {"genre", Field::Genre},
    {"genres", Field::Genre},            {"titel", Field::TitleGerman},
    {"titel de", Field::TitleGerman},    {"titel in deutsch", Field::TitleGerman},
    {"deutscher titel", Field::TitleGerman}, {"title", Field::TitleGerman},
    {"name", Field::TitleGerman},        {"titel en", Field::TitleEnglish},
    {"titel in englisch", Field::TitleEnglish}, {"englischer titel", Field::TitleEnglish},
    {"originaltitel", Field::TitleEnglish}, {"original title", Field::TitleEnglish},
    {"laenge", Field::Length},           {"lange", Field::Length},
    {"laufzeit", Field::Length},         {"dauer", Field::Length},
    {"minuten", Field::Length},          {"runtime (mins)", Field::Length},
    {"runtime", Field::Length},
};

bool namesGenreList(std::u32string_view name) { return foldedName(name) == "genres" || foldedName(name) == "genre"; }

}  // namespace

std::string foldedName(std::u32string_view name) {
    std::string cp850Name;
    for (const char32_t codePoint : name) cp850Name += cp850::cp850ForCodePoint(codePoint);
    const std::string folded = folding::fold(cp850Name).base;
    const std::size_t first = folded.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return folded.substr(first, folded.find_last_not_of(" \t") - first + 1);
}

std::optional<Field> fieldNamed(std::u32string_view name) {
    const std::string folded = foldedName(name);
    for (const KnownName& known : KNOWN_NAMES)
        if (known.folded == folded) return known.field;
    return std::nullopt;
}

bool isHeader(const std::vector<std::u32string>& firstLine) {
    return std::any_of(firstLine.begin(), firstLine.end(),
                       [](const std::u32string& name) { return fieldNamed(name).has_value(); });
}

ColumnMap mapHeader(const std::vector<std::u32string>& header) {
    ColumnMap map;
    for (std::size_t column = 0; column < header.size(); ++column) {
        const std::optional<Field> field = fieldNamed(header[column]);
        int& slot = field ? map.columnOf[static_cast<std::size_t>(*field)] : map.columnOf[0];
        if (!field || slot >= 0) {
            map.ignored.push_back(column);
            continue;
        }
        slot = static_cast<int>(column);
        if (*field == Field::Genre) map.genreIsList = namesGenreList(header[column]);
    }
    return map;
}

ColumnMap programOrder(std::size_t columnCount) {
    ColumnMap map;
    for (std::size_t column = 0; column < columnCount; ++column) {
        if (column < FIELD_COUNT) map.columnOf[column] = static_cast<int>(column);
        else map.ignored.push_back(column);
    }
    return map;
}

}  // namespace import_file
