#include "app/DvdApplication.h"
#include "app/ListView.h"
#include "app/RentalColumns.h"

void DvdApplication::listRentals() {
    rentals.clear();
    rentals.load();
    clearScreen();
    ListFilter filter;
    runListScreen(*this, {.drawHeading = [this] { drawRentalListHeading(); },
                          .columns = rentalColumns(),
                          .recordCount = rentals.recordCount(),
                          .notice = fileNoticeOf(rentals),
                          .value = [this](int record, int columnIndex) { return rentalColumnValue(rentals, record, columnIndex); }},
                  filter);
}
