#include "app/DvdApplication.h"
#include "app/LockWaitNotice.h"
#include "app/NewDvdFields.h"
#include "library/LibraryRecord.h"

namespace {

FormField formField(library_record::Column column, FieldValue value) {
    const library_record::Field& field = library_record::FIELDS[column];
    return {.label = field.formLabel, .row = field.formRow, .length = field.length, .step = field.formStep,
            .value = std::move(value)};
}

}  // namespace

// The record is assembled in WORK_ROW and appended to the file as one line.
FormDefinition newDvdFormDefinition(DvdApplication& application) {
    DvdLibrary& library = application.library;
    const auto field = [&library](auto set) { return workRowField(library, set, WORK_ROW); };
    FormField lengthField = formField(library_record::LENGTH_MINUTES, field(&DvdLibrary::setLengthMinutes));
    lengthField.accepts = [&library](const std::string& text) { return library.isValidLength(text); };
    lengthField.refusal = {.message = "FALSCHE EINGABE DER LAENGE!", .row = 30, .column = 25,
                           .then = FieldRefusal::Then::AskAgain};
    return {
        .drawHeading = &DvdApplication::drawNewDvdHeading,
        .fields = {
            formField(library_record::GENRE, field(&DvdLibrary::setGenre)),
            formField(library_record::TITLE_GERMAN, field(&DvdLibrary::setTitleGerman)),
            formField(library_record::TITLE_ENGLISH, field(&DvdLibrary::setTitleEnglish)),
            lengthField,
        },
        .appendRecord =
            [&application, &library] {
                const bool appended = withLockWaitNotice(application, 30, 25, [&library] { return library.appendRecord(); });
                return appended ? SaveOutcome::Saved : SaveOutcome::Failed;
            },
        .messageRow = 30,
        .messageColumn = 25,
    };
}

void DvdApplication::newDvdForm() { runForm(*this, newDvdFormDefinition(*this)); }
