#include "app/DvdApplication.h"
#include "app/ListView.h"

namespace {

constexpr ListColumn RENTAL_COLUMNS[] = {{"Titel:", 2}, {"Name:", 35}, {"Vorname:", 50}};

std::string rentalValue(const RentalRegister& rentals, int record, int columnIndex) {
    switch (columnIndex) {
    case 0: return rentals.getFilmTitle(record);
    case 1: return rentals.getSurname(record);
    default: return rentals.getFirstName(record);
    }
}

}  // namespace

void DvdApplication::listRentals() {
    rentals.clear();
    rentals.load();
    clearScreen();
    runListScreen(*this, [this] {
        drawRentalListHeading();
        drawListRows(*this, RENTAL_COLUMNS, rentals.recordCount(), fileNoticeOf(rentals),
                     [this](int record, int columnIndex) { return rentalValue(rentals, record, columnIndex); });
    });
}
