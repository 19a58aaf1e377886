#include "app/DvdApplication.h"
#include "app/JournalColumns.h"
#include "app/ListView.h"
#include "app/RentalViews.h"

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
