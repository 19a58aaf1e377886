#pragma once
#include <string>
#include <vector>

#include "app/ListPrintout.h"
#include "app/ListView.h"
#include "rental/LendingJournal.h"
#include "storage/RecordStore.h"

// The lists' columns, taken from the record tables.

// On the screen: each field at its list column, its head above it, ordered
// by 's' as its table says.
std::vector<ListColumn> listColumnsOf(const storage::RecordTable& table);
// On paper: each field as wide as the form takes it, running times aligned right.
std::vector<PrintColumn> printColumnsOf(const storage::RecordTable& table);

// The records a store holds as a list on the screen (the given records of
// it, by row, when `rows` is given) and as printed.
ListContent listOf(const storage::RecordStore& store, std::function<void()> drawHeading,
                   const std::vector<int>* rows = nullptr);
PrintedList printedList(const storage::RecordStore& store);

// The journal as a list: newest first, on the screen ("Verleih - Journal")
// and as text (--liste journal).
std::vector<ListColumn> journalColumns();
// What a screen says when the journal is there but cannot be read.
constexpr std::string_view JOURNAL_UNREADABLE = "JOURNAL KANN NICHT GELESEN WERDEN!";
// The held events, record 0 the newest.
std::string journalColumnValue(const lending_journal::HeldEvents& journal, int record, int columnIndex);
FileNotice journalNotice(const lending_journal::HeldEvents& journal);
// The columns of the file, the dates as the file writes them.
PrintedList journalPrintout(const lending_journal::HeldEvents& journal);
