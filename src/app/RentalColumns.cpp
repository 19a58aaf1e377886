#include "app/RentalColumns.h"

#include "rental/RentalRegister.h"

namespace {
constexpr ListColumn RENTAL_COLUMNS[] = {{"Titel:", 2, SortAs::Text}, {"Name:", 35, SortAs::Text}, {"Vorname:", 50}};
// As wide as the form's fields.
constexpr PrintColumn RENTAL_PRINT_COLUMNS[] = {{"Titel:", 30}, {"Name:", 30}, {"Vorname:", 30}};
}

std::span<const ListColumn> rentalColumns() { return RENTAL_COLUMNS; }

std::string rentalColumnValue(const RentalRegister& rentals, int record, int columnIndex) {
    switch (columnIndex) {
    case 0: return rentals.getFilmTitle(record);
    case 1: return rentals.getSurname(record);
    default: return rentals.getFirstName(record);
    }
}

PrintedList rentalPrintout(const RentalRegister& rentals) {
    return {"Verleih - Liste", RENTAL_PRINT_COLUMNS, rentals.recordCount(), fileNoticeOf(rentals),
            [&rentals](int record, int columnIndex) { return rentalColumnValue(rentals, record, columnIndex); },
            "Ausleihe", "Ausleihen"};
}
