#include "app/DvdApplication.h"
#include "app/RecordRemoval.h"
#include "app/LockWaitNotice.h"
#include "app/RemovalDialog.h"

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
                if (lendings.locked) return std::string(RENTALS_NOT_CHECKED);
                return lendings.count > 0 ? "VERLIEHEN AN " + lendings.firstName + " " + lendings.surname : std::string();
            },
        .recordsFound = [this] { return copyChoices(library.recordsFound()); },
        .removeAndSave = [this](int record) { return record_removal::removeAndSave(library, record); },
        .completeTitle = completion::libraryTitles,
    });
}
