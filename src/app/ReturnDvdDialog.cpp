#include "app/DvdApplication.h"
#include "app/RemovalDialog.h"

void DvdApplication::returnDvdDialog() {
    rentals.clear();
    rentals.load();
    runRemovalDialog(*this, {
        .drawHeading = &DvdApplication::drawReturnHeading,
        .prompt = "Titel des zurueckgegebenen Filmes eingeben:",
        .promptColumn = 5,
        .titleColumn = 52,
        .questionStart = "Ist der Film ",
        .questionEnd = " retour?",
        .questionColumn = 10,
        .answerColumn = 17,
        .recordCount = rentals.recordCount(),
        .fileLocked = rentals.wasLocked(),
        .titleOf = [this](int row) { return rentals.getFilmTitle(row); },
        .removeAndSave =
            [this](int row) {
                rentals.removeRecord(row);
                return rentals.saveAll();
            },
    });
}
