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

namespace {

// Each value ends before the next column, so no part of a longer one is left.
enum DatedColumn { TITLE_SHOWN, BORROWER_SHOWN, SINCE_SHOWN, DAYS_SHOWN };
constexpr ListColumn DATED_COLUMNS[] = {{"Titel:", 2}, {"Ausgeliehen von:", 34}, {"Seit:", 59}, {"Tage:", 71}};
constexpr std::size_t DATED_WIDTHS[] = {31, 24, 10, 9};
constexpr const char* UNKNOWN_DATE = "?";
// Every lending is shown: what went unread are the journal's oldest lines.
constexpr std::string_view OLDER_EVENTS_NOT_READ = "AELTERE JOURNAL-EINTRAEGE NICHT GELESEN!";

}  // namespace

DatedRentals::DatedRentals(const RentalRegister& rentals, lending_dates::Day today, int lendingDays)
    : rentals(rentals), today(today), lendingDays(lendingDays) {
    std::vector<lending_dates::Borrowing> lendings;
    lendings.reserve(static_cast<std::size_t>(rentals.recordCount()));
    for (int record = 0; record < rentals.recordCount(); ++record)
        lendings.push_back(lending_journal::borrowingAt(rentals, record));
    journal = lending_journal::datesOf(lendings);
    order = lending_dates::oldestFirst(journal.dates);
}

std::vector<ListColumn> DatedRentals::columns() { return {std::begin(DATED_COLUMNS), std::end(DATED_COLUMNS)}; }

std::optional<lending_dates::Day> DatedRentals::since(int shown) const {
    return journal.dates[static_cast<std::size_t>(order[static_cast<std::size_t>(shown)])];
}

bool DatedRentals::overdue(int shown) const { return lending_dates::isOverdue(since(shown), today, lendingDays); }

std::string DatedRentals::value(int shown, int columnIndex) const {
    const int record = order[static_cast<std::size_t>(shown)];
    const std::optional<lending_dates::Day> date = since(shown);
    std::string value;
    switch (columnIndex) {
    case TITLE_SHOWN: value = rentals.getFilmTitle(record); break;
    case BORROWER_SHOWN: value = rentals.getFirstName(record) + " " + rentals.getSurname(record); break;
    case SINCE_SHOWN: value = date ? lending_dates::germanDate(*date) : UNKNOWN_DATE; break;
    // A date after today (another computer's calendar) has not begun yet.
    default: value = date ? std::to_string(std::max(0, today - *date)) : ""; break;
    }
    if (value.size() > DATED_WIDTHS[columnIndex]) value.resize(DATED_WIDTHS[columnIndex]);
    return value;
}

std::string DatedRentals::countLine(const std::vector<int>& shown) const {
    const auto overdueCount = std::count_if(shown.begin(), shown.end(), [this](int each) { return overdue(each); });
    return std::to_string(shown.size()) + (shown.size() == 1 ? " Ausleihe" : " Ausleihen") + ", davon " +
           std::to_string(overdueCount) + " ueberfaellig";
}

FileNotice DatedRentals::notice() const {
    const FileNotice registerNotice = fileNoticeOf(rentals);
    if (registerNotice.locked || registerNotice.fileHoldsMore()) return registerNotice;
    if (journal.reading.locked()) return {.locked = true};
    if (!journal.reading.ok()) return {.instead = JOURNAL_UNREADABLE};
    return {.instead = journal.reading.stoppedAtBound ? OLDER_EVENTS_NOT_READ : std::string_view()};
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

