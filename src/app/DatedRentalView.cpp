#include "app/DatedRentals.h"
#include "app/DvdApplication.h"
#include "app/JournalEntry.h"
#include "app/LendingPeriod.h"
#include "app/ListView.h"
#include "app/RentalViews.h"

int runDatedRentalView(DvdApplication& application, ListFilter& filter) {
    const DatedRentals dated(application.rentals, journal_entry::today(), lending_period::days());
    return runListScreen(application,
                         {.drawHeading = [&application] { application.drawRentalListHeading(); },
                          .columns = DatedRentals::columns(),
                          .recordCount = dated.count(),
                          .notice = dated.notice(),
                          .value = [&dated](int record, int columnIndex) { return dated.value(record, columnIndex); },
                          .highlighted = [&dated](int record) { return dated.overdue(record); },
                          .lineBelow = [&dated](const std::vector<int>& shown) { return dated.countLine(shown); }},
                         filter, RENTAL_VIEW_KEYS);
}
