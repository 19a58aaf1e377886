#include "app/DvdApplication.h"

#include "console/InputField.h"

DvdApplication::DvdApplication()
    : menuEntryCount(0),
      menuLabels{"Neue DVD hinzufuegen", "DVD loeschen", "DVD suchen", "DVD anzeigen", "DVD - Liste drucken",
                 "DVD ausleihen", "DVD retour", "Ausgeliehene DVD's anzeigen", "DVD - Liste drucken"} {}

std::string DvdApplication::readField(int maxLength, int row, int column) {
    return readInputField(*this, maxLength, row, column);
}
