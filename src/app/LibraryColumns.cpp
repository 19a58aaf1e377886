#include "app/LibraryColumns.h"

#include <array>

#include "library/DvdLibrary.h"
#include "library/LibraryRecord.h"

namespace {

using library_record::FIELDS;

template <typename Column, typename Make>
constexpr std::array<Column, library_record::COLUMN_COUNT> eachField(Make make) {
    std::array<Column, library_record::COLUMN_COUNT> columns{};
    for (int index = 0; index < library_record::COLUMN_COUNT; ++index) columns[index] = make(FIELDS[index]);
    return columns;
}

constexpr auto LIBRARY_COLUMNS = eachField<ListColumn>([](const library_record::Field& field) {
    return ListColumn{field.head, field.listColumn, field.isNumber ? SortAs::Number : SortAs::Text};
});
// As wide as the form's fields.
constexpr auto LIBRARY_PRINT_COLUMNS = eachField<PrintColumn>([](const library_record::Field& field) {
    return PrintColumn{field.head, field.length, field.isNumber};
});

}  // namespace

std::span<const ListColumn> libraryColumns() { return LIBRARY_COLUMNS; }

std::string libraryColumnValue(const DvdLibrary& library, int record, int columnIndex) {
    switch (columnIndex) {
    case library_record::GENRE: return library.getGenre(record);
    case library_record::TITLE_GERMAN: return library.getTitleGerman(record);
    case library_record::TITLE_ENGLISH: return library.getTitleEnglish(record);
    default: return library.getLengthMinutes(record);
    }
}

PrintedList libraryPrintout(const DvdLibrary& library) {
    return {"DVD - Liste", LIBRARY_PRINT_COLUMNS, library.recordCount(), fileNoticeOf(library),
            [&library](int record, int columnIndex) { return libraryColumnValue(library, record, columnIndex); },
            library_record::ONE_RECORD, library_record::MANY_RECORDS};
}
