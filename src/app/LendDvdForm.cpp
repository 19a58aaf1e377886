#include <memory>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "app/FormEngine.h"
#include "app/LockWaitNotice.h"
#include "app/RecordRemoval.h"

namespace {

// Only a German title of the library file, compared byte for byte, can be
// lent; the whole file is looked through, holding none of it.
bool isTitleInLibrary(DvdLibrary& titles, const std::string& title) {
    titles.clear();
    return titles.findTitleGerman(title) != DvdLibrary::NOT_FOUND;
}

}  // namespace

// The lending is assembled in WORK_ROW of the rental register and appended to
// the file as one line; the register itself is neither loaded nor counted.
void DvdApplication::lendDvdForm() {
    // Read anew for every title; the application's library stays untouched.
    auto titleCheckLibrary = std::make_shared<DvdLibrary>();
    const auto field = [this](auto set) { return workRowField(rentals, set, WORK_ROW); };
    const FormDefinition form{
        .drawHeading = &DvdApplication::drawLendHeading,
        .fields = {
            {.label = "Titel:", .row = 10, .length = 30, .step = REDRAW,
             .value = field(&RentalRegister::setFilmTitle),
             .accepts = [this, titleCheckLibrary](const std::string& text) {
                 return withLockWaitNotice(*this, 20, 30, [&] { return isTitleInLibrary(*titleCheckLibrary, text); });
             },
             .refusal = {.message = "FILM NICHT VORHANDEN!",
                         .messageNow = [this, titleCheckLibrary]() {
                             return dialog::notFoundMessage(*this, record_removal::searchResult(*titleCheckLibrary, -1),
                                                            20, 30, "FILM NICHT VORHANDEN!");
                         },
                         .row = 20, .column = 30,
                         .then = FieldRefusal::Then::StartAfresh}},
            {.label = "Name:", .row = 12, .length = 30, .step = 'T',
             .value = field(&RentalRegister::setSurname)},
            {.label = "Vorname:", .row = 14, .length = 30, .step = 'E',
             .value = field(&RentalRegister::setFirstName)},
        },
        .appendRecord = [this] { return withLockWaitNotice(*this, 20, 30, [this] { return rentals.appendRecord(); }); },
        .messageRow = 20,
        .messageColumn = 30,
    };
    runForm(*this, form);
}
