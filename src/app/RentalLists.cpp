#include "app/ListColumns.h"
#include "app/RentalLists.h"

#include <algorithm>
#include <climits>
#include <iterator>

#include "app/CommandLine.h"
#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "app/ListPrintout.h"
#include "app/ListView.h"
#include "rental/RentalRegister.h"

void DvdApplication::listRentals() {
    rentals.clear();
    rentals.load();
    clearScreen();
    ListFilter filter;
    ListFilter datedFilter;
    for (bool dated = false;;) {
        const int key = dated ? runDatedRentalView(*this, datedFilter)
                              : runListScreen(*this, listOf(rentals, [this] { drawRentalListHeading(); }), filter,
                                              RENTAL_VIEW_KEYS);
        if (key == DATED_VIEW_KEY) dated = !dated;
        else if (key == JOURNAL_VIEW_KEY) runJournalView(*this);
        else return;
        clearScreen();
    }
}

void DvdApplication::printRentals() {
    // Read as the list screen reads it: bounded, and only from a regular file.
    rentals.clear();
    rentals.load();
    printList(*this, printedList(rentals));
}

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

int runJournalView(DvdApplication& application) {
    const lending_journal::HeldEvents journal = lending_journal::readHeldEvents();
    application.clearScreen();
    ListFilter filter;
    return runListScreen(application,
                         {.drawHeading = [&application] { application.drawRentalJournalHeading(); },
                          .columns = journalColumns(),
                          .recordCount = static_cast<int>(journal.events.size()),
                          .notice = journalNotice(journal),
                          .value = [&journal](int record, int columnIndex) { return journalColumnValue(journal, record, columnIndex); }},
                         filter);
}

