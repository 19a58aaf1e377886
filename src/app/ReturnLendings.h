#pragma once
#include <string>
#include <vector>

#include "rental/LendingDates.h"
#include "storage/StoreFile.h"

class ConsoleScreen;
class RentalRegister;

// One lending of the title typed at the return dialog, by its record.
struct NamedLending {
    int record;
    lending_dates::Borrowing who;
};

// The return dialog's side of the register and the journal: the lendings of
// a title, and the return of exactly one of them, noted in the journal.
class ReturnLendings {
public:
    explicit ReturnLendings(RentalRegister& rentals) : rentals(rentals) {}

    // Every lending of the title in the rows the register holds, when the
    // file has more than one; otherwise none, and the search's record goes.
    std::vector<NamedLending> ofTitle(const std::string& title);
    // Takes the record out, rewrites the file and, once saved, notes the
    // return of whoever had it.
    storage::SaveResult returnRecord(ConsoleScreen& screen, int record, int messageRow, int messageColumn);

private:
    RentalRegister& rentals;
    std::vector<NamedLending> lendings;
    lending_dates::Borrowing firstFound;  // the one the search found, when it was the only lending
};
