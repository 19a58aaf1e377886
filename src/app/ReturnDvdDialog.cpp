#include "app/DvdApplication.h"
#include "app/RemovalDialog.h"

void DvdApplication::returnDvdDialog() {
    rentals.clear();
    rentals.load();
    runRemovalDialog(*this, {&DvdApplication::drawReturnHeading, "Titel des zurueckgegebenen Filmes eingeben:", 5,
                             52, "Ist der Film ", " retour?", 10, 17, rentals.recordCount(), rentals.wasLocked(),
                             [this](int row) { return rentals.getFilmTitle(row); },
                             [this](int row) {
                                 rentals.removeRecord(row);
                                 return rentals.saveAll();
                             }});
}
