#include "app/DatedRentals.h"

#include <algorithm>

#include "app/JournalColumns.h"
#include "rental/RentalRegister.h"

namespace {

// Each value ends before the next column, so no part of a longer one is left.
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

std::span<const ListColumn> DatedRentals::columns() { return DATED_COLUMNS; }

std::optional<lending_dates::Day> DatedRentals::since(int shown) const {
    return journal.dates[static_cast<std::size_t>(order[static_cast<std::size_t>(shown)])];
}

bool DatedRentals::overdue(int shown) const { return lending_dates::isOverdue(since(shown), today, lendingDays); }

std::string DatedRentals::value(int shown, int columnIndex) const {
    const int record = order[static_cast<std::size_t>(shown)];
    const std::optional<lending_dates::Day> date = since(shown);
    std::string value;
    switch (columnIndex) {
    case 0: value = rentals.getFilmTitle(record); break;
    case 1: value = rentals.getFirstName(record) + " " + rentals.getSurname(record); break;
    case 2: value = date ? lending_dates::germanDate(*date) : UNKNOWN_DATE; break;
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
    if (journal.reading.locked) return {.locked = true};
    if (journal.reading.failed) return {.instead = JOURNAL_UNREADABLE};
    return {.instead = journal.reading.olderLeftOut ? OLDER_EVENTS_NOT_READ : std::string_view()};
}
