#pragma once
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/ListPrintout.h"
#include "app/ListView.h"
#include "rental/LendingJournal.h"
#include "storage/RecordStore.h"

class RentalRegister;

// What the lists show, without a screen: their columns from the record
// tables, the dated view's rows, the journal's, and the order 's' gives.

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
// The fields after the plain ones only where a record holds one of them:
// a list of the plain format stays as it always was.
void dropUnheldLaterColumns(PrintedList& list, const storage::RecordTable& table);

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

// The register's lendings with their dates from the journal, oldest first:
// what the dated rental view shows, row by row.
class DatedRentals {
public:
    DatedRentals(const RentalRegister& rentals, lending_dates::Day today, int lendingDays);

    static std::vector<ListColumn> columns();
    int count() const { return static_cast<int>(order.size()); }
    bool overdue(int shown) const;
    std::string value(int shown, int columnIndex) const;
    // "2 Ausleihen, davon 1 ueberfaellig"
    std::string countLine(const std::vector<int>& shown) const;
    // The register's notice; without one, what keeps the journal from giving every date.
    FileNotice notice() const;

private:
    std::optional<lending_dates::Day> since(int shown) const;

    const RentalRegister& rentals;
    lending_dates::Day today;
    int lendingDays;
    lending_journal::LendingDates journal;
    std::vector<int> order;
};
