#pragma once
#include <array>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rental/LendingDates.h"
#include "storage/RecordScan.h"
#include "storage/RecordTable.h"

class RentalRegister;

// The lending journal "DVDVerleihJournal.csv" beside the two data files: one
// line per lend and return (date JJJJ-MM-TT, event, title, surname, first
// name), in the data files' code page, line ends and quoting. It is only ever
// appended to, under the data files' lock rules, and only kept once the file
// exists: an operator who never made it gets no file and no new byte.
namespace lending_journal {

// The fields in the order of the file's line.
enum Column { DATE, EVENT, TITLE, SURNAME, FIRST_NAME, COLUMN_COUNT };

using storage::SortAs;
using storage::ValueKind;
// No form asks for them and the journal's screen shows them its own way; the
// printout and the text list show them as the file holds them.
inline constexpr storage::FieldSpec FIELDS[COLUMN_COUNT] = {
    {"Datum", "Datum:", "", 0, 10, '\0', 2, SortAs::Unsorted, ValueKind::Date},
    {"Ereignis", "Ereignis:", "", 0, 9, '\0', 14},
    {"Titel", "Titel:", "", 0, 30, '\0', 25},
    {"Name", "Name:", "", 0, 30, '\0', 57},
    {"Vorname", "Vorname:", "", 0, 30},
};
inline constexpr storage::RecordTable TABLE{"DVDVerleihJournal.csv", {COLUMN_COUNT, false}, FIELDS,
                                           "Verleih - Journal", "Eintrag", "Eintraege"};

constexpr std::string_view LENT = "verliehen";
constexpr std::string_view RETURNED = "zurueck";

enum class Written { Written, Failed };

// Who has which title in a row of the register.
lending_dates::Borrowing borrowingAt(const RentalRegister& rentals, int row);

// Appends one event; the first makes the file.
Written record(lending_dates::Day date, std::string_view event, const lending_dates::Borrowing& who);

// Hands every line of the journal's last FILE_BYTES_SCANNED bytes (from the
// first line that starts within them) to `visit` in file order, holding one
// at a time: the newest events, which date the current lendings, are always
// read. stoppedAtBound: older lines were left out.
storage::FileRead readEvents(const storage::RecordVisitor& visit);

// The newest events of the journal, oldest first, as many as a list shows
// (one screen row each, within the console's buffer); those before them
// are counted.
constexpr std::size_t EVENTS_HELD = 30000;
using Event = std::array<std::string, COLUMN_COUNT>;
struct HeldEvents {
    storage::FileRead reading;
    std::deque<Event> events;
    long long notHeld = 0;
};
HeldEvents readHeldEvents(std::size_t maxEvents = EVENTS_HELD);

// The dates of the current lendings, one per lending, from the journal.
struct LendingDates {
    storage::FileRead reading;
    std::vector<std::optional<lending_dates::Day>> dates;
};
LendingDates datesOf(const std::vector<lending_dates::Borrowing>& lendings);

}  // namespace lending_journal
