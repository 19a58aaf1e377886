#pragma once
#include <span>
#include <string>
#include <string_view>

#include "app/ListPrintout.h"
#include "app/ListView.h"
#include "rental/LendingJournal.h"

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
