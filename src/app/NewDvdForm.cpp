#include "app/DvdApplication.h"
#include "app/FormEngine.h"
#include "app/LockWaitNotice.h"

// The record is assembled in WORK_ROW and appended to the file as one line.
void DvdApplication::newDvdForm() {
    const auto field = [this](auto set) { return workRowField(library, set, WORK_ROW); };
    const FormDefinition form{
        .drawHeading = &DvdApplication::drawNewDvdHeading,
        .fields = {
            {.label = "Film Art:", .row = 10, .length = 20, .step = REDRAW,
             .value = field(&DvdLibrary::setGenre)},
            {.label = "Titel in Deutsch:", .row = 12, .length = 30, .step = 'T',
             .value = field(&DvdLibrary::setTitleGerman)},
            {.label = "Titel in Englisch:", .row = 14, .length = 30, .step = 'E',
             .value = field(&DvdLibrary::setTitleEnglish)},
            {.label = "Laenge in Minuten:", .row = 16, .length = 3, .step = 'L',
             .value = field(&DvdLibrary::setLengthMinutes),
             .accepts = [this](const std::string& text) { return library.isValidLength(text); },
             .refusal = {.message = "FALSCHE EINGABE DER LAENGE!", .row = 30, .column = 25,
                         .then = FieldRefusal::Then::AskAgain}},
        },
        .appendRecord =
            [this] {
                const bool appended = withLockWaitNotice(*this, 30, 25, [this] { return library.appendRecord(); });
                return appended ? SaveOutcome::Saved : SaveOutcome::Failed;
            },
        .messageRow = 30,
        .messageColumn = 25,
    };
    runForm(*this, form);
}
