#include "app/DvdApplication.h"

#include "console/InputField.h"
#include "storage/LockWait.h"

DvdApplication::DvdApplication()
    : menuEntryCount(0),
      menuLabels{"Neue DVD hinzufuegen", "DVD loeschen", "DVD suchen", "DVD anzeigen", "DVD - Liste drucken",
                 "DVD ausleihen", "DVD retour", "Ausgeliehene DVD's anzeigen", "DVD - Liste drucken"} {
    // A wait for another program's lock keeps the keys typed meanwhile, as a message's pause does.
    storage::setLockPause([this](std::chrono::milliseconds duration) { pause(static_cast<int>(duration.count())); });
}

DvdApplication::~DvdApplication() { storage::setLockPause({}); }

std::string DvdApplication::readField(int maxLength, int row, int column) {
    return readInputField(*this, maxLength, row, column);
}
