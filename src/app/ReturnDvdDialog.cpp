#include "app/DvdApplication.h"
#include "app/RecordRemoval.h"
#include "app/RemovalDialog.h"
#include "app/ReturnLendings.h"
#include "app/TitleCompletion.h"

#include <memory>

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
