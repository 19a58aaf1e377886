#include "app/FormEngine.h"

#include <algorithm>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "app/RemovalDialog.h"
#include "app/TitleCompletion.h"
#include "console/Colors.h"
#include "console/InputField.h"
#include "library/LibraryRecord.h"
#include "platform/Platform.h"
#include "rental/LendingJournal.h"

class DvdApplication;

// The new-DVD form: its four fields, their checks, and the append of the
// record assembled in the library's WORK_ROW. The edit dialog starts from it.
FormDefinition newDvdFormDefinition(DvdApplication& application);

namespace {

FormField formField(library_record::Column column, FieldValue value) {
    return formFieldOf(library_record::FIELDS[column], std::move(value));
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

namespace {

constexpr std::string_view NOT_IN_LIBRARY = "FILM NICHT VORHANDEN!";
constexpr std::string_view ALREADY_LENT = "DVD IST BEREITS VERLIEHEN!";
constexpr int MESSAGE_ROW = 20;
constexpr int MESSAGE_COLUMN = 30;

// A title can be lent while the library holds more DVDs with exactly that
// German title than the rental file has lendings of it; both files are
// looked through whole, holding none of them. Remembers why it said no.
class ShelfCheck {
public:
    bool copyLeft(const std::string& title, const RentalRegister& rentals) {
        notWhollyRead = false;
        reason = NOT_IN_LIBRARY;
        const storage::RecordCount copies = DvdLibrary::copiesOf(title);
        if (copies.read.locked()) return refuse(dialog::FILE_LOCKED);
        if (copies.matches == 0) {
            notWhollyRead = copies.read.stoppedAtBound;
            return false;
        }
        const RentalRegister::Lendings lendings = rentals.lendingsOf(title);
        if (lendings.read.locked()) return refuse(dialog::FILE_LOCKED);
        return copies.matches > lendings.count || refuse(ALREADY_LENT);
    }

    // Made again at the save, with the lendings counted under the append's
    // lock: two programs cannot both lend the last copy.
    SaveOutcome saveIfCopyLeft(const std::string& title, RentalRegister& rentals) {
        bool libraryRead = true;
        const auto appended = rentals.appendRecordIf([&](int lendings) {
            const storage::RecordCount copies = DvdLibrary::copiesOf(title);
            libraryRead = copies.read.result == storage::LoadResult::Loaded;
            // The library may have lost the title since the field took it.
            reason = copies.matches == 0 ? NOT_IN_LIBRARY : ALREADY_LENT;
            return libraryRead && copies.matches > lendings;
        });
        if (appended == storage::AppendResult::Appended) return SaveOutcome::Saved;
        return appended == storage::AppendResult::Refused && libraryRead ? SaveOutcome::Refused : SaveOutcome::Failed;
    }

    std::string_view lastReason() const { return reason; }

    // The message for the last refusal, with "not wholly read" below it where that applies.
    std::string_view message(ConsoleScreen& screen) const {
        return dialog::notFoundMessage(screen, {.fileNotWhollyRead = notWhollyRead}, MESSAGE_ROW, MESSAGE_COLUMN, reason);
    }

private:
    bool refuse(std::string_view why) {
        reason = why;
        return false;
    }

    std::string_view reason = NOT_IN_LIBRARY;
    bool notWhollyRead = false;  // the title was not found in the part of the file read
};

}  // namespace

// The lending is assembled in WORK_ROW of the rental register and appended to
// the file as one line; the register itself is neither loaded nor counted.
void DvdApplication::lendDvdForm() {
    auto shelf = std::make_shared<ShelfCheck>();
    const auto field = [this](auto set) { return workRowField(rentals, set, WORK_ROW); };
    using namespace rental_record;
    FormField titleField = formFieldOf(FIELDS[FILM_TITLE], field(&RentalRegister::setFilmTitle));
    titleField.accepts = [this, shelf](const std::string& text) {
        return withLockWaitNotice(*this, MESSAGE_ROW, MESSAGE_COLUMN, [&] { return shelf->copyLeft(text, rentals); });
    };
    titleField.refusal = {.message = NOT_IN_LIBRARY,
                          .messageNow = [this, shelf] { return shelf->message(*this); },
                          .row = MESSAGE_ROW,
                          .column = MESSAGE_COLUMN,
                          .then = FieldRefusal::Then::StartAfresh};
    titleField.complete = completion::libraryTitles({*this, MESSAGE_ROW, MESSAGE_COLUMN, FIELDS[FILM_TITLE].length});
    const FormDefinition form{
        .drawHeading = &DvdApplication::drawLendHeading,
        .fields = {
            titleField,
            formFieldOf(FIELDS[SURNAME], field(&RentalRegister::setSurname)),
            formFieldOf(FIELDS[FIRST_NAME], field(&RentalRegister::setFirstName)),
        },
        .appendRecord =
            [this, shelf] {
                const SaveOutcome saved = withLockWaitNotice(
                    *this, MESSAGE_ROW, MESSAGE_COLUMN, [&] { return shelf->saveIfCopyLeft(rentals.getFilmTitle(WORK_ROW), rentals); });
                // The register is the record of truth: the journal comes after it.
                if (saved == SaveOutcome::Saved)
                    journal_entry::note(*this, lending_journal::LENT, lending_journal::borrowingAt(rentals, WORK_ROW),
                                        MESSAGE_ROW, MESSAGE_COLUMN);
                return saved;
            },
        .saveRefusal = [shelf] { return shelf->lastReason(); },
        .messageRow = MESSAGE_ROW,
        .messageColumn = MESSAGE_COLUMN,
    };
    runForm(*this, form);
}

namespace {

constexpr int PROMPT_ROW = 10;
constexpr int PROMPT_COLUMN = 15;
constexpr int TITLE_COLUMN = 52;
constexpr int TITLE_LENGTH = 30;
constexpr int SEARCH_MESSAGE_ROW = 20;
constexpr int SEARCH_MESSAGE_COLUMN = 20;
// Of several copies of the title, where the delete asks its question.
constexpr int QUESTION_COLUMN = 20;
constexpr int ANSWER_COLUMN = 27;
// The rental file names a lent DVD by its German title: renaming the last
// copies it has would leave lendings pointing at nothing.
constexpr std::string_view TITLE_OF_LENT_DVD = "DVD IST VERLIEHEN!";
constexpr std::string_view RENTALS_NOT_CHECKED = "VERLEIH-DATEI GESPERRT: VERLEIH NICHT GEPRUEFT";
// Where the form reports a save, as the new-DVD form does.
// The form that corrects a record asks for every field: its save prompt and
// its messages stand below the last.
constexpr int EDIT_SAVE_PROMPT_ROW = 28;
constexpr int SAVE_MESSAGE_ROW = 32;
constexpr int SAVE_MESSAGE_COLUMN = 25;
constexpr std::string_view WRONG_YEAR = "FALSCHE EINGABE DES JAHRES!";
constexpr std::string_view WRONG_EAN = "FALSCHE EINGABE DER EAN!";

// A field after the four, held in WORK_ROW; its check, where it has one,
// refuses as the running time's does, its message where that one stands.
FormField laterField(DvdLibrary& library, library_record::Column column, std::function<bool(const std::string&)> accepts,
                     std::string_view refusal) {
    FormField field = formFieldOf(library_record::FIELDS[column],
                                  {[&library, column](std::string text) { library.setValue(column, WORK_ROW, std::move(text)); }});
    field.accepts = std::move(accepts);
    field.refusal = {.message = refusal, .row = SAVE_MESSAGE_ROW, .column = SAVE_MESSAGE_COLUMN};
    return field;
}

// The new-DVD form's four fields, then the record's later ones.
FormDefinition editFormDefinition(DvdApplication& application) {
    using namespace library_record;
    DvdLibrary& library = application.library;
    FormDefinition form = newDvdFormDefinition(application);
    form.drawHeading = &DvdApplication::drawEditDvdHeading;
    form.fields[LENGTH_MINUTES].refusal.row = SAVE_MESSAGE_ROW;
    const int nextYear = platform::today().year + 1;
    form.fields.push_back(laterField(
        library, YEAR, [nextYear](const std::string& text) { return DvdLibrary::isValidYear(text, nextYear); }, WRONG_YEAR));
    for (const Column completed : {FORMAT, LOCATION}) {
        form.fields.push_back(laterField(library, completed, {}, {}));
        form.fields.back().complete = completion::libraryValues(
            {application, SAVE_MESSAGE_ROW, SAVE_MESSAGE_COLUMN, FIELDS[completed].length}, completed);
    }
    form.fields.push_back(laterField(library, EAN, [](const std::string& text) { return DvdLibrary::isValidEan(text); }, WRONG_EAN));
    form.fields.push_back(laterField(library, NOTE, {}, {}));
    form.savePromptRow = EDIT_SAVE_PROMPT_ROW;
    form.messageRow = SAVE_MESSAGE_ROW;
    form.messageColumn = SAVE_MESSAGE_COLUMN;
    form.endsAfterDecision = true;
    return form;
}

// Whether a copy of this title may leave it (Saved): only while the copies
// left under it still cover its lendings; a check that could not be made
// says why (Declined) or that it failed.
SaveOutcome renameOfLentTitle(const RentalRegister& rentals, const std::string& title, std::string_view& refusal) {
    const RentalRegister::Lendings lendings = rentals.lendingsOf(title);
    if (lendings.read.locked()) {
        refusal = RENTALS_NOT_CHECKED;
        return SaveOutcome::Declined;
    }
    if (!lendings.read.ok()) return SaveOutcome::Failed;
    if (lendings.count == 0) return SaveOutcome::Saved;
    const storage::RecordCount copies = DvdLibrary::copiesOf(title);
    if (copies.read.result != storage::LoadResult::Loaded) return SaveOutcome::Failed;
    refusal = TITLE_OF_LENT_DVD;
    return copies.matches - 1 >= lendings.count ? SaveOutcome::Saved : SaveOutcome::Declined;
}

}  // namespace

// A title typed (or completed) at the prompt, the record of the list with
// exactly that German title (of several, the one chosen), then the new-DVD
// form's fields showing its values. F1 writes the fields typed into over
// those of that record's line, F2 and Escape leave it as it is.
void DvdApplication::editDvdDialog(const std::optional<std::string>& filmTypeOfResult) {
    std::string title;
    for (bool askedAgain = false;; askedAgain = true) {
        clearScreen();
        drawEditDvdHeading();
        setColor(colors::YELLOW, colors::BLACK);
        setCursor(PROMPT_ROW, PROMPT_COLUMN);
        std::cout << "Zu bearbeitender Filmtitel eingeben:";
        FieldEntry entry =
            enterField(*this, TITLE_LENGTH, PROMPT_ROW, TITLE_COLUMN,
                       {.ctrlARepeats = askedAgain,
                        .complete = completion::libraryTitles({*this, SEARCH_MESSAGE_ROW, SEARCH_MESSAGE_COLUMN, TITLE_LENGTH})});
        if (!entry.repeatWanted) title = std::move(entry.text);
        if (title == "escape") return;
        clearScreen();
        library.clear();
        const dialog::TitleSearch search = withLockWaitNotice(*this, SEARCH_MESSAGE_ROW, SEARCH_MESSAGE_COLUMN, [&] {
            return record_removal::searchResult(library, library.findTitleGerman(title));
        });
        std::vector<storage::StoreFile::Match> copies;
        for (const storage::StoreFile::Match& copy : library.recordsFound())
            if (!filmTypeOfResult || copy.fields[library_record::GENRE] == *filmTypeOfResult) copies.push_back(copy);
        if (copies.empty()) {
            dialog::showMessage(*this, SEARCH_MESSAGE_ROW, SEARCH_MESSAGE_COLUMN,
                                dialog::notFoundMessage(*this, search, SEARCH_MESSAGE_ROW, SEARCH_MESSAGE_COLUMN,
                                                        "KEINEN FILM MIT DIESEM TITEL GEFUNDEN!"));
            continue;
        }
        int record = copies.front().record;
        if (copies.size() >= 2)
            record = askForEachChoice(*this, {"Diese DVD bearbeiten?", QUESTION_COLUMN, ANSWER_COLUMN}, copyChoices(copies));
        if (record == dialog::TitleSearch::NOT_FOUND) return;
        const auto chosen = std::find_if(copies.begin(), copies.end(),
                                         [record](const storage::StoreFile::Match& copy) { return copy.record == record; });
        FormDefinition form = editFormDefinition(*this);
        form.startValues = chosen->fields;
        // Which fields were typed into: only those are written.
        std::vector<bool> typed(form.fields.size());
        for (std::size_t index = 0; index < form.fields.size(); ++index) {
            FieldValue& value = form.fields[index].value;
            value.keep = [&typed, index] { typed[index] = false; };
            value.set = [&typed, index, set = std::move(value.set)](std::string text) {
                typed[index] = true;
                set(std::move(text));
            };
        }
        std::string_view refusal;
        form.saveRefusal = [&refusal] { return refusal; };
        const std::string storedTitle = chosen->fields[library_record::TITLE_GERMAN];
        form.appendRecord = [&, record] {
            if (typed[library_record::TITLE_GERMAN] && library.getTitleGerman(WORK_ROW) != storedTitle) {
                const SaveOutcome renaming = withLockWaitNotice(*this, SAVE_MESSAGE_ROW, SAVE_MESSAGE_COLUMN, [&] {
                    return renameOfLentTitle(rentals, storedTitle, refusal);
                });
                if (renaming != SaveOutcome::Saved) return renaming;
            }
            const storage::SaveResult saved = withLockWaitNotice(*this, SAVE_MESSAGE_ROW, SAVE_MESSAGE_COLUMN,
                                                                 [&] { return library.replaceRecord(record, typed); });
            if (saved == storage::SaveResult::ChangedMeanwhile) return SaveOutcome::ChangedMeanwhile;
            return saved == storage::SaveResult::Saved ? SaveOutcome::Saved : SaveOutcome::Failed;
        };
        // A file changed meanwhile is read afresh, from the title prompt.
        if (runForm(*this, form) != FormEnd::FileChanged) return;
    }
}
