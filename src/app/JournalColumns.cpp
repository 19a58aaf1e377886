#include "app/JournalColumns.h"

#include <climits>

namespace {

// Each value ends before the next column, so no part of a longer one is left.
constexpr ListColumn JOURNAL_COLUMNS[] = {{"Datum:", 2}, {"Ereignis:", 14}, {"Titel:", 25}, {"Name:", 57}};
constexpr std::size_t JOURNAL_WIDTHS[] = {11, 10, 31, 23};
constexpr PrintColumn JOURNAL_PRINT_COLUMNS[] = {
    {"Datum:", 10}, {"Ereignis:", 9}, {"Titel:", 30}, {"Name:", 30}, {"Vorname:", 30}};

const lending_journal::Event& newest(const lending_journal::HeldEvents& journal, int record) {
    return journal.events[journal.events.size() - 1 - static_cast<std::size_t>(record)];
}

}  // namespace

std::span<const ListColumn> journalColumns() { return JOURNAL_COLUMNS; }

std::string journalColumnValue(const lending_journal::HeldEvents& journal, int record, int columnIndex) {
    const lending_journal::Event& event = newest(journal, record);
    std::string value;
    switch (columnIndex) {
    case 0: {
        const auto date = lending_dates::parseIsoDate(event[0]);
        value = date ? lending_dates::germanDate(*date) : event[0];
        break;
    }
    case 1: value = event[1]; break;
    case 2: value = event[2]; break;
    default: value = event[4] + " " + event[3]; break;
    }
    if (value.size() > JOURNAL_WIDTHS[columnIndex]) value.resize(JOURNAL_WIDTHS[columnIndex]);
    return value;
}

FileNotice journalNotice(const lending_journal::HeldEvents& journal) {
    return {journal.reading.locked, static_cast<int>(std::min<long long>(journal.notHeld, INT_MAX)),
            journal.reading.olderLeftOut, journal.reading.failed ? JOURNAL_UNREADABLE : std::string_view()};
}

PrintedList journalPrintout(const lending_journal::HeldEvents& journal) {
    return {"Verleih - Journal", JOURNAL_PRINT_COLUMNS, static_cast<int>(journal.events.size()), journalNotice(journal),
            [&journal](int record, int columnIndex) { return newest(journal, record)[columnIndex]; },
            "Eintrag", "Eintraege"};
}
