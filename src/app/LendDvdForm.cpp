#include <memory>

#include "app/DvdApplication.h"
#include "app/FormEngine.h"

namespace {

// Only a German title of the library file, compared byte for byte, can be lent.
bool isTitleInLibrary(DvdLibrary& titles, const std::string& title) {
    titles.clear();
    titles.load();
    for (int i = 0; i < titles.recordCount(); ++i) {
        if (titles.getTitleGerman(i) == title) return true;
    }
    return false;
}

}  // namespace

// The lending is assembled in WORK_ROW of the rental register and appended to
// the file as one line; the register itself is neither loaded nor counted.
void DvdApplication::lendDvdForm() {
    // Read anew for every title; the application's library stays untouched.
    auto titleCheckLibrary = std::make_shared<DvdLibrary>();
    const auto field = [this](auto set, auto get) { return workRowField(rentals, set, get, WORK_ROW); };
    const FormDefinition form{
        .drawHeading = &DvdApplication::drawLendHeading,
        .fields = {
            {.label = "Titel:", .row = 10, .length = 30, .step = REDRAW,
             .value = field(&RentalRegister::setFilmTitle, &RentalRegister::getFilmTitle),
             .accepts = [titleCheckLibrary](const std::string& text) { return isTitleInLibrary(*titleCheckLibrary, text); },
             .refusal = {.message = "FILM NICHT VORHANDEN!", .row = 20, .column = 30,
                         .then = FieldRefusal::Then::StartAfresh}},
            {.label = "Name:", .row = 12, .length = 30, .step = 'T',
             .value = field(&RentalRegister::setSurname, &RentalRegister::getSurname)},
            {.label = "Vorname:", .row = 14, .length = 30, .step = 'E',
             .value = field(&RentalRegister::setFirstName, &RentalRegister::getFirstName)},
        },
        .appendRecord = [this] { return rentals.appendRecord(); },
        .messageRow = 20,
        .messageColumn = 30,
    };
    runForm(*this, form);
}
