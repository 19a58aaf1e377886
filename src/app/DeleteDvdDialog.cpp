#include "app/DvdApplication.h"
#include "app/RecordRemoval.h"
#include "app/RemovalDialog.h"

void DvdApplication::deleteDvdDialog() {
    library.clear();
    runRemovalDialog(*this, {
        .drawHeading = &DvdApplication::drawDeleteDvdHeading,
        .prompt = "Zu loeschender Filmtitel eingeben:",
        .promptColumn = 15,
        .titleColumn = 52,
        .questionStart = "Soll ",
        .questionEnd = " geloescht werden?",
        .questionColumn = 20,
        .answerColumn = 27,
        .findTitle = [this](const std::string& title) { return record_removal::searchResult(library, library.findTitleGerman(title)); },
        // Deleting a DVD that is lent is allowed, but the operator should know who has it.
        .noteOnQuestion =
            [this](const std::string& title) {
                const RentalRegister::Lendings lendings = rentals.lendingsOf(title);
                return lendings.count > 0 ? "VERLIEHEN AN " + lendings.firstName + " " + lendings.surname : std::string();
            },
        .removeAndSave = [this](int record) { return record_removal::removeAndSave(library, record); },
        .completeTitle = completion::libraryTitles,
    });
}
