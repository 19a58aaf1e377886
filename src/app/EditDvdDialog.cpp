#include <algorithm>
#include <iostream>
#include <string>
#include <vector>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "app/FormEngine.h"
#include "app/LockWaitNotice.h"
#include "app/NewDvdFields.h"
#include "app/RecordRemoval.h"
#include "app/RemovalDialog.h"
#include "app/TitleCompletion.h"
#include "console/Colors.h"
#include "console/InputField.h"

namespace {

constexpr int PROMPT_ROW = 10;
constexpr int PROMPT_COLUMN = 15;
constexpr int TITLE_COLUMN = 52;
constexpr int TITLE_LENGTH = 30;
constexpr int MESSAGE_ROW = 20;
constexpr int MESSAGE_COLUMN = 20;
// Of several copies of the title, where the delete asks its question.
constexpr int QUESTION_COLUMN = 20;
constexpr int ANSWER_COLUMN = 27;
// The rental file names a lent DVD by its German title: renaming the last
// copies it has would leave lendings pointing at nothing.
constexpr std::string_view TITLE_OF_LENT_DVD = "DVD IST VERLIEHEN!";
constexpr std::string_view RENTALS_NOT_CHECKED = "VERLEIH-DATEI GESPERRT: VERLEIH NICHT GEPRUEFT";
// Where the form reports a save, as the new-DVD form does.
constexpr int SAVE_MESSAGE_ROW = 30;
constexpr int SAVE_MESSAGE_COLUMN = 25;

// Whether a copy of this title may leave it (Saved): only while the copies
// left under it still cover its lendings; a check that could not be made
// says why (Declined) or that it failed.
SaveOutcome renameOfLentTitle(const RentalRegister& rentals, const std::string& title, std::string_view& refusal) {
    const RentalRegister::Lendings lendings = rentals.lendingsOf(title);
    if (lendings.locked) {
        refusal = RENTALS_NOT_CHECKED;
        return SaveOutcome::Declined;
    }
    if (!lendings.read) return SaveOutcome::Failed;
    if (lendings.count == 0) return SaveOutcome::Saved;
    const storage::StoreFile::Count copies = DvdLibrary::copiesOf(title);
    if (copies.read != storage::LoadResult::Loaded) return SaveOutcome::Failed;
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
                        .complete = completion::libraryTitles({*this, MESSAGE_ROW, MESSAGE_COLUMN, TITLE_LENGTH})});
        if (!entry.repeatWanted) title = std::move(entry.text);
        if (title == "escape") return;
        clearScreen();
        library.clear();
        const dialog::TitleSearch search = withLockWaitNotice(*this, MESSAGE_ROW, MESSAGE_COLUMN, [&] {
            return record_removal::searchResult(library, library.findTitleGerman(title));
        });
        std::vector<storage::StoreFile::Match> copies;
        for (const storage::StoreFile::Match& copy : library.recordsFound())
            if (!filmTypeOfResult || copy.fields[library_record::GENRE] == *filmTypeOfResult) copies.push_back(copy);
        if (copies.empty()) {
            dialog::showMessage(*this, MESSAGE_ROW, MESSAGE_COLUMN,
                                dialog::notFoundMessage(*this, search, MESSAGE_ROW, MESSAGE_COLUMN,
                                                        "KEINEN FILM MIT DIESEM TITEL GEFUNDEN!"));
            continue;
        }
        int record = copies.front().record;
        if (copies.size() >= 2)
            record = askForEachChoice(*this, {"Diese DVD bearbeiten?", QUESTION_COLUMN, ANSWER_COLUMN}, copyChoices(copies));
        if (record == dialog::TitleSearch::NOT_FOUND) return;
        const auto chosen = std::find_if(copies.begin(), copies.end(),
                                         [record](const storage::StoreFile::Match& copy) { return copy.record == record; });
        FormDefinition form = newDvdFormDefinition(*this);
        form.drawHeading = &DvdApplication::drawEditDvdHeading;
        form.startValues = chosen->fields;
        form.endsAfterDecision = true;
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
