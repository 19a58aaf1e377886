#include "app/ListColumns.h"

#include <array>
#include <climits>

#include "library/DvdLibrary.h"
#include "library/LibraryRecord.h"
#include "rental/RentalRecord.h"
#include "rental/RentalRegister.h"

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

namespace {
constexpr SortAs orderOf(rental_record::Column column) { return rental_record::FIELDS[column].ordersList ? SortAs::Text : SortAs::Unsorted; }
constexpr ListColumn RENTAL_COLUMNS[] = {{rental_record::FIELDS[rental_record::FILM_TITLE].head, rental_record::FIELDS[rental_record::FILM_TITLE].listColumn, orderOf(rental_record::FILM_TITLE)},
                                         {rental_record::FIELDS[rental_record::SURNAME].head, rental_record::FIELDS[rental_record::SURNAME].listColumn, orderOf(rental_record::SURNAME)},
                                         {rental_record::FIELDS[rental_record::FIRST_NAME].head, rental_record::FIELDS[rental_record::FIRST_NAME].listColumn, orderOf(rental_record::FIRST_NAME)}};
// As wide as the form's fields.
constexpr PrintColumn RENTAL_PRINT_COLUMNS[] = {{rental_record::FIELDS[rental_record::FILM_TITLE].head, rental_record::FIELDS[rental_record::FILM_TITLE].length},
                                                {rental_record::FIELDS[rental_record::SURNAME].head, rental_record::FIELDS[rental_record::SURNAME].length},
                                                {rental_record::FIELDS[rental_record::FIRST_NAME].head, rental_record::FIELDS[rental_record::FIRST_NAME].length}};
}  // namespace

std::span<const ListColumn> rentalColumns() { return RENTAL_COLUMNS; }

std::string rentalColumnValue(const RentalRegister& rentals, int record, int columnIndex) {
    switch (columnIndex) {
    case rental_record::FILM_TITLE: return rentals.getFilmTitle(record);
    case rental_record::SURNAME: return rentals.getSurname(record);
    default: return rentals.getFirstName(record);
    }
}

PrintedList rentalPrintout(const RentalRegister& rentals) {
    return {"Verleih - Liste", RENTAL_PRINT_COLUMNS, rentals.recordCount(), fileNoticeOf(rentals),
            [&rentals](int record, int columnIndex) { return rentalColumnValue(rentals, record, columnIndex); },
            rental_record::ONE_RECORD, rental_record::MANY_RECORDS};
}

namespace {

// Each value ends before the next column, so no part of a longer one is left.
constexpr ListColumn JOURNAL_COLUMNS[] = {{"Datum:", 2}, {"Ereignis:", 14}, {"Titel:", 25}, {"Name:", 57}};
constexpr std::size_t JOURNAL_WIDTHS[] = {11, 10, 31, 23};
constexpr PrintColumn JOURNAL_PRINT_COLUMNS[] = {
    {"Datum:", 10}, {"Ereignis:", 9}, {"Titel:", 30}, {"Name:", 30}, {"Vorname:", 30}};

const lending_journal::Event& newest(const lending_journal::HeldEvents& journal, int record) {
    return journal.events[journal.events.size() - 1 - static_cast<std::size_t>(record)];
}

}  // namespace

std::span<const ListColumn> journalColumns() { return JOURNAL_COLUMNS; }

std::string journalColumnValue(const lending_journal::HeldEvents& journal, int record, int columnIndex) {
    const lending_journal::Event& event = newest(journal, record);
    std::string value;
    switch (columnIndex) {
    case 0: {
        const auto date = lending_dates::parseIsoDate(event[0]);
        value = date ? lending_dates::germanDate(*date) : event[0];
        break;
    }
    case 1: value = event[1]; break;
    case 2: value = event[2]; break;
    default: value = event[4] + " " + event[3]; break;
    }
    if (value.size() > JOURNAL_WIDTHS[columnIndex]) value.resize(JOURNAL_WIDTHS[columnIndex]);
    return value;
}

FileNotice journalNotice(const lending_journal::HeldEvents& journal) {
    return {journal.reading.locked, static_cast<int>(std::min<long long>(journal.notHeld, INT_MAX)),
            journal.reading.olderLeftOut, journal.reading.failed ? JOURNAL_UNREADABLE : std::string_view()};
}

PrintedList journalPrintout(const lending_journal::HeldEvents& journal) {
    return {"Verleih - Journal", JOURNAL_PRINT_COLUMNS, static_cast<int>(journal.events.size()), journalNotice(journal),
            [&journal](int record, int columnIndex) { return newest(journal, record)[columnIndex]; },
            "Eintrag", "Eintraege"};
}

