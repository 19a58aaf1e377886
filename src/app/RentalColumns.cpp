#include "app/RentalColumns.h"

#include "rental/RentalRegister.h"

namespace {
constexpr ListColumn RENTAL_COLUMNS[] = {{"Titel:", 2}, {"Name:", 35}, {"Vorname:", 50}};
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
    return {"Verleih - Liste", rentalColumns(), rentals.recordCount(), rentals.unreadLineCount(),
            [&rentals](int record, int columnIndex) { return rentalColumnValue(rentals, record, columnIndex); }};
}
