#include "app/LibraryColumns.h"

#include "library/DvdLibrary.h"

namespace {
constexpr ListColumn LIBRARY_COLUMNS[] = {
    {"Film Art:", 2, SortAs::Text}, {"Titel DE:", 20, SortAs::Text}, {"Titeln ENG:", 45, SortAs::Text},
    {"Laenge:", 70, SortAs::Number}};
// As wide as the form's fields.
constexpr PrintColumn LIBRARY_PRINT_COLUMNS[] = {
    {"Film Art:", 20}, {"Titel DE:", 30}, {"Titeln ENG:", 30}, {"Laenge:", 3, true}};
}

std::span<const ListColumn> libraryColumns() { return LIBRARY_COLUMNS; }

std::string libraryColumnValue(const DvdLibrary& library, int record, int columnIndex) {
    switch (columnIndex) {
    case 0: return library.getGenre(record);
    case 1: return library.getTitleGerman(record);
    case 2: return library.getTitleEnglish(record);
    default: return library.getLengthMinutes(record);
    }
}

PrintedList libraryPrintout(const DvdLibrary& library) {
    return {"DVD - Liste", LIBRARY_PRINT_COLUMNS, library.recordCount(), fileNoticeOf(library),
            [&library](int record, int columnIndex) { return libraryColumnValue(library, record, columnIndex); },
            "DVD", "DVDs"};
}
