#include "app/DvdApplication.h"
#include "app/ListView.h"
#include "app/RentalColumns.h"

void DvdApplication::listRentals() {
    rentals.clear();
    rentals.load();
    clearScreen();
    runListScreen(*this, [this] {
        drawRentalListHeading();
        drawListRows(*this, rentalColumns(), rentals.recordCount(), fileNoticeOf(rentals),
                     [this](int record, int columnIndex) { return rentalColumnValue(rentals, record, columnIndex); });
    });
}
