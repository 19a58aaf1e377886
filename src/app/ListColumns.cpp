#include "app/ListColumns.h"

#include <algorithm>
#include <climits>
#include <functional>
#include <iterator>
#include <numeric>

#include "console/TextFolding.h"
#include "library/DvdLibrary.h"
#include "rental/RentalRegister.h"

namespace {

// The journal's screen names the borrower in one column: "Vorname Name".
enum JournalColumn { DATE_SHOWN, EVENT_SHOWN, TITLE_SHOWN, BORROWER_SHOWN };
// Each value ends before the next column, so no part of a longer one is left.
constexpr std::size_t JOURNAL_WIDTHS[] = {11, 10, 31, 23};

const lending_journal::Event& newest(const lending_journal::HeldEvents& journal, int record) {
    return journal.events[journal.events.size() - 1 - static_cast<std::size_t>(record)];
}

}  // namespace

std::vector<ListColumn> listColumnsOf(const storage::RecordTable& table) {
    std::vector<ListColumn> columns;
    for (const storage::FieldSpec& field : table.fields) columns.push_back({field.head, field.listColumn, field.sortAs});
    return columns;
}

std::vector<PrintColumn> printColumnsOf(const storage::RecordTable& table) {
    std::vector<PrintColumn> columns;
    for (const storage::FieldSpec& field : table.fields)
        columns.push_back({field.head, field.length, field.kind == storage::ValueKind::RunningTime});
    return columns;
}

ListContent listOf(const storage::RecordStore& store, std::function<void()> drawHeading, const std::vector<int>* rows) {
    return {.drawHeading = std::move(drawHeading),
            .columns = listColumnsOf(store.table()),
            .recordCount = rows ? static_cast<int>(rows->size()) : store.recordCount(),
            .notice = fileNoticeOf(store),
            .value = [&store, rows](int record, int column) {
                return store.value(column, rows ? (*rows)[static_cast<std::size_t>(record)] : record);
            }};
}

void dropUnheldLaterColumns(PrintedList& list, const storage::RecordTable& table) {
    const int plain = table.line.plainColumnCount;
    if (plain == 0) return;
    for (int record = 0; record < list.recordCount; ++record)
        for (int column = plain; column < static_cast<int>(list.columns.size()); ++column)
            if (!list.value(record, column).empty()) return;
    list.columns.resize(std::min(list.columns.size(), static_cast<std::size_t>(plain)));
}

PrintedList printedList(const storage::RecordStore& store) {
    const storage::RecordTable& table = store.table();
    PrintedList list{table.listName, printColumnsOf(table), store.recordCount(), fileNoticeOf(store),
                     [&store](int record, int column) { return store.value(column, record); }, table.oneRecord,
                     table.manyRecords};
    dropUnheldLaterColumns(list, table);
    return list;
}

std::vector<ListColumn> journalColumns() {
    using namespace lending_journal;
    const auto at = [](Column column) { return ListColumn{FIELDS[column].head, FIELDS[column].listColumn}; };
    return {at(DATE), at(EVENT), at(TITLE), at(SURNAME)};
}

std::string journalColumnValue(const lending_journal::HeldEvents& journal, int record, int columnIndex) {
    using namespace lending_journal;
    const Event& event = newest(journal, record);
    std::string value;
    switch (columnIndex) {
    case DATE_SHOWN: {
        const auto date = lending_dates::parseIsoDate(event[DATE]);
        value = date ? lending_dates::germanDate(*date) : event[DATE];
        break;
    }
    case EVENT_SHOWN: value = event[EVENT]; break;
    case TITLE_SHOWN: value = event[TITLE]; break;
    default: value = event[FIRST_NAME] + " " + event[SURNAME]; break;
    }
    if (value.size() > JOURNAL_WIDTHS[columnIndex]) value.resize(JOURNAL_WIDTHS[columnIndex]);
    return value;
}

FileNotice journalNotice(const lending_journal::HeldEvents& journal) {
    return {journal.reading.locked(), static_cast<int>(std::min<long long>(journal.notHeld, INT_MAX)),
            journal.reading.stoppedAtBound,
            !journal.reading.ok() && !journal.reading.locked() ? JOURNAL_UNREADABLE : std::string_view()};
}

PrintedList journalPrintout(const lending_journal::HeldEvents& journal) {
    const storage::RecordTable& table = lending_journal::TABLE;
    return {table.listName, printColumnsOf(table), static_cast<int>(journal.events.size()), journalNotice(journal),
            [&journal](int record, int column) { return newest(journal, record)[static_cast<std::size_t>(column)]; },
            table.oneRecord, table.manyRecords};
}

namespace {

// Each value ends before the next column, so no part of a longer one is left.
enum DatedColumn { DATED_TITLE, DATED_BORROWER, DATED_SINCE, DATED_DAYS };
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
    case DATED_TITLE: value = rentals.getFilmTitle(record); break;
    case DATED_BORROWER: value = rentals.getFirstName(record) + " " + rentals.getSurname(record); break;
    case DATED_SINCE: value = date ? lending_dates::germanDate(*date) : UNKNOWN_DATE; break;
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

namespace {

// A running time as the library reads it. Values that are none sort after
// every number.
struct NumberKey {
    bool isNumber = false;
    int number = 0;
    bool operator<(const NumberKey& other) const {
        if (isNumber != other.isNumber) return isNumber;
        return number < other.number;
    }
};

NumberKey numberKeyOf(const std::string& text) {
    const std::optional<int> minutes = DvdLibrary::lengthInMinutes(text);
    return minutes ? NumberKey{true, *minutes} : NumberKey{};
}

template <typename Key>
std::vector<int> stableOrderBy(int count, const std::vector<Key>& keys) {
    std::vector<int> records(static_cast<std::size_t>(count));
    std::iota(records.begin(), records.end(), 0);
    std::stable_sort(records.begin(), records.end(), [&keys](int left, int right) {
        return keys[static_cast<std::size_t>(left)] < keys[static_cast<std::size_t>(right)];
    });
    return records;
}

}  // namespace

std::vector<int> orderedRecords(int count, SortAs how, const std::function<std::string(int record)>& value) {
    if (how == SortAs::Number) {
        std::vector<NumberKey> keys;
        keys.reserve(static_cast<std::size_t>(count));
        for (int record = 0; record < count; ++record) keys.push_back(numberKeyOf(value(record)));
        return stableOrderBy(count, keys);
    }
    std::vector<std::string> keys;
    keys.reserve(static_cast<std::size_t>(count));
    // The filter's base form is the dictionary's: lower case, ä as a, ß as ss.
    for (int record = 0; record < count; ++record)
        keys.push_back(how == SortAs::Text ? folding::fold(value(record)).base : std::string());
    return stableOrderBy(count, keys);
}
