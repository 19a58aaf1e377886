#include "app/RentalColumns.h"

#include "rental/RentalRegister.h"

using namespace rental_record;

namespace {
constexpr SortAs orderOf(Column column) { return FIELDS[column].ordersList ? SortAs::Text : SortAs::Unsorted; }
constexpr ListColumn RENTAL_COLUMNS[] = {{FIELDS[FILM_TITLE].head, FIELDS[FILM_TITLE].listColumn, orderOf(FILM_TITLE)},
                                         {FIELDS[SURNAME].head, FIELDS[SURNAME].listColumn, orderOf(SURNAME)},
                                         {FIELDS[FIRST_NAME].head, FIELDS[FIRST_NAME].listColumn, orderOf(FIRST_NAME)}};
// As wide as the form's fields.
constexpr PrintColumn RENTAL_PRINT_COLUMNS[] = {{FIELDS[FILM_TITLE].head, FIELDS[FILM_TITLE].length},
                                                {FIELDS[SURNAME].head, FIELDS[SURNAME].length},
                                                {FIELDS[FIRST_NAME].head, FIELDS[FIRST_NAME].length}};
}  // namespace

std::span<const ListColumn> rentalColumns() { return RENTAL_COLUMNS; }

std::string rentalColumnValue(const RentalRegister& rentals, int record, int columnIndex) {
    switch (columnIndex) {
    case FILM_TITLE: return rentals.getFilmTitle(record);
    case SURNAME: return rentals.getSurname(record);
    default: return rentals.getFirstName(record);
    }
}

PrintedList rentalPrintout(const RentalRegister& rentals) {
    return {"Verleih - Liste", RENTAL_PRINT_COLUMNS, rentals.recordCount(), fileNoticeOf(rentals),
            [&rentals](int record, int columnIndex) { return rentalColumnValue(rentals, record, columnIndex); },
            ONE_RECORD, MANY_RECORDS};
}
