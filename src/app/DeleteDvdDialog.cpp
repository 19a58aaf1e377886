#include "app/DvdApplication.h"
#include "app/RemovalDialog.h"

void DvdApplication::deleteDvdDialog() {
    library.clear();
    library.load();
    runRemovalDialog(*this, {
        .drawHeading = &DvdApplication::drawDeleteDvdHeading,
        .prompt = "Zu loeschender Filmtitel eingeben:",
        .promptColumn = 15,
        .titleColumn = 52,
        .questionStart = "Soll ",
        .questionEnd = " geloescht werden?",
        .questionColumn = 20,
        .answerColumn = 27,
        .recordCount = library.recordCount(),
        .fileLocked = library.wasLocked(),
        .titleOf = [this](int row) { return library.getTitleGerman(row); },
        .removeAndSave =
            [this](int row) {
                library.removeRecord(row);
                return library.saveAll();
            },
    });
}
