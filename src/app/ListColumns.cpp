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

namespace {

// The columns a list keeps: the fields after the plain ones only where one
// of its records holds one of them.
template <typename Column>
void dropUnheldLater(std::vector<Column>& columns, const storage::RecordTable& table, int recordCount,
                     const std::function<std::string(int record, int column)>& value) {
    const int plain = table.line.plainColumnCount;
    if (plain == 0) return;
    for (int record = 0; record < recordCount; ++record)
        for (int column = plain; column < static_cast<int>(columns.size()); ++column)
            if (!value(record, column).empty()) return;
    columns.resize(std::min(columns.size(), static_cast<std::size_t>(plain)));
}

}  // namespace

ListContent listOf(const storage::RecordStore& store, std::function<void()> drawHeading, const std::vector<int>* rows) {
    ListContent list{.drawHeading = std::move(drawHeading),
                     .columns = listColumnsOf(store.table()),
                     .recordCount = rows ? static_cast<int>(rows->size()) : store.recordCount(),
                     .notice = fileNoticeOf(store),
                     .value = [&store, rows](int record, int column) {
                         return store.value(column, rows ? (*rows)[static_cast<std::size_t>(record)] : record);
                     }};
    dropUnheldLater(list.columns, store.table(), list.recordCount, list.value);
    return list;
}

void dropUnheldLaterColumns(PrintedList& list, const storage::RecordTable& table) {
    dropUnheldLater(list.columns, table, list.recordCount, list.value);
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
    switch (columnIndex) {
    case DATE_SHOWN: {
        const auto date = lending_dates::parseIsoDate(event[DATE]);
        return date ? lending_dates::germanDate(*date) : event[DATE];
    }
    case EVENT_SHOWN: return event[EVENT];
    case TITLE_SHOWN: return event[TITLE];
    default: return event[FIRST_NAME] + " " + event[SURNAME];
    }
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

enum DatedColumn { DATED_TITLE, DATED_BORROWER, DATED_SINCE, DATED_DAYS };
constexpr ListColumn DATED_COLUMNS[] = {{"Titel:", 2}, {"Ausgeliehen von:", 34}, {"Seit:", 59}, {"Tage:", 71}};
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
    switch (columnIndex) {
    case DATED_TITLE: return rentals.getFilmTitle(record);
    case DATED_BORROWER: return rentals.getFirstName(record) + " " + rentals.getSurname(record);
    case DATED_SINCE: return date ? lending_dates::germanDate(*date) : UNKNOWN_DATE;
    // A date after today (another computer's calendar) has not begun yet.
    default: return date ? std::to_string(std::max(0, today - *date)) : "";
    }
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

// Passed over at the start of a title, as a catalogue files "Der Pate" under P.
constexpr std::string_view LEADING_ARTICLES[] = {"der", "die", "das", "the", "a", "an"};

bool isDigitByte(char byte) { return byte >= '0' && byte <= '9'; }

// The digits of a number from `position` on, without leading zeros; moves past them.
std::string_view numberAt(std::string_view text, std::size_t& position) {
    while (position + 1 < text.size() && text[position] == '0' && isDigitByte(text[position + 1])) ++position;
    const std::size_t start = position;
    while (position < text.size() && isDigitByte(text[position])) ++position;
    return text.substr(start, position - start);
}

// A title as a catalogue files it: folded as the dictionary order folds,
// its leading article passed over, a number in it compared by its value.
struct TitleKey {
    std::string text;

    explicit TitleKey(const std::string& title) : text(folding::fold(title).base) {
        for (const std::string_view article : LEADING_ARTICLES) {
            if (text.size() <= article.size() || text.compare(0, article.size(), article) != 0 ||
                text[article.size()] != ' ')
                continue;
            const std::size_t rest = text.find_first_not_of(' ', article.size());
            if (rest != std::string::npos) text.erase(0, rest);
            break;
        }
    }

    bool operator<(const TitleKey& other) const {
        const std::string_view left = text;
        const std::string_view right = other.text;
        std::size_t at = 0;
        std::size_t otherAt = 0;
        while (at < left.size() && otherAt < right.size()) {
            if (isDigitByte(left[at]) && isDigitByte(right[otherAt])) {
                const std::string_view number = numberAt(left, at);
                const std::string_view otherNumber = numberAt(right, otherAt);
                // Without leading zeros the shorter number is the smaller one.
                if (number.size() != otherNumber.size()) return number.size() < otherNumber.size();
                if (number != otherNumber) return number < otherNumber;
                continue;
            }
            if (left[at] != right[otherAt])
                return static_cast<unsigned char>(left[at]) < static_cast<unsigned char>(right[otherAt]);
            ++at;
            ++otherAt;
        }
        return left.size() - at < right.size() - otherAt;
    }
};

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
    if (how == SortAs::Title) {
        std::vector<TitleKey> keys;
        keys.reserve(static_cast<std::size_t>(count));
        for (int record = 0; record < count; ++record) keys.emplace_back(value(record));
        return stableOrderBy(count, keys);
    }
    std::vector<std::string> keys;
    keys.reserve(static_cast<std::size_t>(count));
    // The filter's base form is the dictionary's: lower case, ä as a, ß as ss.
    for (int record = 0; record < count; ++record)
        keys.push_back(how == SortAs::Text ? folding::fold(value(record)).base : std::string());
    return stableOrderBy(count, keys);
}
