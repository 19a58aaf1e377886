#pragma once
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/FileNotice.h"
#include "app/ListView.h"
#include "rental/LendingJournal.h"

class RentalRegister;

// The register's lendings with their dates from the journal, oldest first:
// what the dated rental view shows, row by row.
class DatedRentals {
public:
    DatedRentals(const RentalRegister& rentals, lending_dates::Day today, int lendingDays);

    static std::span<const ListColumn> columns();
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
