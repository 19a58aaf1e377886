#include "app/RemovalDialog.h"

#include <memory>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "app/TitleCompletion.h"
#include "rental/LendingJournal.h"
#include "rental/RentalRegister.h"

namespace {
constexpr int QUESTION_COLUMN = 20;
constexpr int FAILURE_ROW = 24;  // where the dialog reports a failed delete
constexpr std::string_view RENTALS_NOT_CHECKED = "VERLEIH-DATEI GESPERRT: VERLEIH NICHT GEPRUEFT";
}  // namespace

void DvdApplication::deleteDvdDialog() {
    library.clear();
    runRemovalDialog(*this, {
        .drawHeading = &DvdApplication::drawDeleteDvdHeading,
        .prompt = "Zu loeschender Filmtitel eingeben:",
        .promptColumn = 15,
        .titleColumn = 52,
        .questionStart = "Soll ",
        .questionEnd = " geloescht werden?",
        .questionColumn = QUESTION_COLUMN,
        .answerColumn = 27,
        .findTitle = [this](const std::string& title) { return record_removal::searchResult(library, library.findTitleGerman(title)); },
        // Deleting a DVD that is lent is allowed, but the operator should know who has it.
        .noteOnQuestion =
            [this](const std::string& title) {
                const RentalRegister::Lendings lendings =
                    withLockWaitNotice(*this, FAILURE_ROW, QUESTION_COLUMN, [&] { return rentals.lendingsOf(title); });
                // The operator must know when the check could not be made.
                if (lendings.read.locked()) return std::string(RENTALS_NOT_CHECKED);
                return lendings.count > 0 ? "VERLIEHEN AN " + lendings.firstName + " " + lendings.surname : std::string();
            },
        .recordsFound = [this] { return copyChoices(library.recordsFound()); },
        .removeAndSave = [this](int record) { return record_removal::removeAndSave(library, record); },
        .completeTitle = completion::libraryTitles,
    });
}

void DvdApplication::returnDvdDialog() {
    rentals.clear();
    auto lendings = std::make_shared<ReturnLendings>(rentals);
    runRemovalDialog(*this, {
        .drawHeading = &DvdApplication::drawReturnHeading,
        .prompt = "Titel des zurueckgegebenen Filmes eingeben:",
        .promptColumn = 5,
        .titleColumn = 52,
        .questionStart = "Ist der Film ",
        .questionEnd = " retour?",
        .questionColumn = 10,
        .answerColumn = 17,
        .findTitle = [this](const std::string& title) { return record_removal::searchResult(rentals, rentals.findFilmTitle(title)); },
        .lendingsOf = [lendings](const std::string& title) { return lendings->ofTitle(title); },
        .removeAndSave = [this, lendings](int record) {
            return lendings->returnRecord(*this, record, REMOVAL_MESSAGE_ROW, 10);
        },
        .completeTitle = completion::rentalTitles,
    });
}

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
