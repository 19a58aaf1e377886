#include "app/DvdApplication.h"
#include "app/RemovalDialog.h"

void DvdApplication::deleteDvdDialog() {
    library.clear();
    library.load();
    runRemovalDialog(*this, {&DvdApplication::drawDeleteDvdHeading, "Zu loeschender Filmtitel eingeben:", 15, 52,
                             "Soll ", " geloescht werden?", 20, 27, library.recordCount(), library.wasLocked(),
                             [this](int row) { return library.getTitleGerman(row); },
                             [this](int row) {
                                 library.removeRecord(row);
                                 return library.saveAll();
                             }});
}
