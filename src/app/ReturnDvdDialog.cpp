#include "app/DvdApplication.h"
#include "app/RecordRemoval.h"
#include "app/RemovalDialog.h"

void DvdApplication::returnDvdDialog() {
    rentals.clear();
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
        .removeAndSave = [this](int record) { return record_removal::removeAndSave(rentals, record); },
        .completeTitle = completion::rentalTitles,
    });
}
