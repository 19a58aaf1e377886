#include "app/ReturnLendings.h"

#include "app/JournalEntry.h"
#include "app/RecordRemoval.h"
#include "rental/LendingJournal.h"
#include "rental/RentalRegister.h"

std::vector<NamedLending> ReturnLendings::ofTitle(const std::string& title) {
    lendings.clear();
    const RentalRegister::Lendings found = rentals.lendingsOf(title);
    firstFound = {title, found.surname, found.firstName};
    if (found.count < 2) return {};
    // The rows say exactly which line each lending is.
    rentals.clear();
    rentals.load();
    for (int row = 0; row < rentals.recordCount(); ++row)
        if (rentals.getFilmTitle(row) == title)
            lendings.push_back({row, lending_journal::borrowingAt(rentals, row)});
    if (lendings.size() >= 2) return lendings;
    // Past the rows held (or unreadable now): the search's first record, as without names.
    lendings.clear();
    rentals.clear();
    const int record = rentals.findFilmTitle(title);
    return record == RentalRegister::NOT_FOUND ? std::vector<NamedLending>{} : std::vector<NamedLending>{{record, firstFound}};
}

storage::SaveResult ReturnLendings::returnRecord(ConsoleScreen& screen, int record, int messageRow, int messageColumn) {
    lending_dates::Borrowing who = firstFound;
    for (const NamedLending& lending : lendings)
        if (lending.record == record) who = lending.who;
    const storage::SaveResult saved = record_removal::removeAndSave(rentals, record);
    if (saved == storage::SaveResult::Saved) journal_entry::note(screen, lending_journal::RETURNED, who, messageRow, messageColumn);
    return saved;
}
