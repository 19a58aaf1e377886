#include "app/DvdApplication.h"
#include "app/ListView.h"
#include "app/RentalColumns.h"
#include "app/RentalViews.h"

void DvdApplication::listRentals() {
    rentals.clear();
    rentals.load();
    clearScreen();
    ListFilter filter;
    ListFilter datedFilter;
        for (bool dated = false;;) {
        const int key = dated ? runDatedRentalView(*this, datedFilter)
                              : runListScreen(*this, {.drawHeading = [this] { drawRentalListHeading(); },
                                                      .columns = rentalColumns(),
                                                      .recordCount = rentals.recordCount(),
                                                      .notice = fileNoticeOf(rentals),
                                                      .value = [this](int record, int columnIndex) { return rentalColumnValue(rentals, record, columnIndex); }},
                                              filter, RENTAL_VIEW_KEYS);
        if (key == DATED_VIEW_KEY) dated = !dated;
        else if (key == JOURNAL_VIEW_KEY) runJournalView(*this);
        else return;
        clearScreen();
    }
}
