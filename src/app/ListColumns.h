#pragma once
#include <span>
#include <string>

#include "app/ListPrintout.h"
#include "app/ListView.h"
#include "rental/LendingJournal.h"

class DvdLibrary;
class RentalRegister;

// The columns of the library list and of the search results.
std::span<const ListColumn> libraryColumns();
std::string libraryColumnValue(const DvdLibrary& library, int record, int columnIndex);
// The list as printed: the records library holds, in these columns.
PrintedList libraryPrintout(const DvdLibrary& library);

// The columns of the rental list, on the screen and on paper.
std::span<const ListColumn> rentalColumns();
std::string rentalColumnValue(const RentalRegister& rentals, int record, int columnIndex);
// The list as printed: the records rentals holds, in these columns.
PrintedList rentalPrintout(const RentalRegister& rentals);

// The journal as a list: newest first, on the screen ("Verleih - Journal")
// and as text (--liste journal).
std::span<const ListColumn> journalColumns();
// What a screen says when the journal is there but cannot be read.
constexpr std::string_view JOURNAL_UNREADABLE = "JOURNAL KANN NICHT GELESEN WERDEN!";
// The held events, record 0 the newest.
std::string journalColumnValue(const lending_journal::HeldEvents& journal, int record, int columnIndex);
FileNotice journalNotice(const lending_journal::HeldEvents& journal);
// The columns of the file, the dates as the file writes them.
PrintedList journalPrintout(const lending_journal::HeldEvents& journal);
