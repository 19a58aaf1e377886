#include "app/ListColumns.h"

#include <algorithm>
#include <climits>

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

PrintedList printedList(const storage::RecordStore& store) {
    const storage::RecordTable& table = store.table();
    return {table.listName, printColumnsOf(table), store.recordCount(), fileNoticeOf(store),
            [&store](int record, int column) { return store.value(column, record); }, table.oneRecord,
            table.manyRecords};
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
