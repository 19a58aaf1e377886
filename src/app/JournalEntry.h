#pragma once
#include <string_view>

#include "rental/LendingDates.h"

class ConsoleScreen;

// A lend or return written to the lending journal, dated today.
namespace journal_entry {

// Shown where the dialog reports a failed save; the lending or return stands.
constexpr std::string_view NOT_WRITTEN = "JOURNAL NICHT GESCHRIEBEN!";

lending_dates::Day today();

// Appends the event; when the journal is kept but cannot take it, says so
// at (row, column) for a message's time, then erases it.
void note(ConsoleScreen& screen, std::string_view event, const lending_dates::Borrowing& who, int row, int column);

}  // namespace journal_entry
