#pragma once
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/ListView.h"
#include "rental/LendingJournal.h"

class DvdApplication;
struct ListFilter;

// The views the rental list opens with a key of its own. Each returns the
// key that ended it.

// 'd': the lendings with their dates, oldest first, the overdue ones in light red.
int runDatedRentalView(DvdApplication& application, ListFilter& filter);
// 'j': "Verleih - Journal", every event of the journal, newest first.
int runJournalView(DvdApplication& application);

// The keys of the rental list that open them.
constexpr char DATED_VIEW_KEY = 'd';
constexpr char JOURNAL_VIEW_KEY = 'j';
constexpr char RENTAL_VIEW_KEYS[] = {DATED_VIEW_KEY, JOURNAL_VIEW_KEY, '\0'};

class RentalRegister;

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
