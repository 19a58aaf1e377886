#include <iostream>
#include <string>
#include <vector>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "app/FormEngine.h"
#include "app/LockWaitNotice.h"
#include "app/NewDvdFields.h"
#include "app/RecordRemoval.h"
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
// The rental file names a lent DVD by its German title: renaming it would
// leave the lending pointing at nothing.
constexpr std::string_view TITLE_OF_LENT_DVD = "DVD IST VERLIEHEN!";
// Where the form reports a save, as the new-DVD form does.
constexpr int SAVE_MESSAGE_ROW = 30;
constexpr int SAVE_MESSAGE_COLUMN = 25;

}  // namespace

// A title typed (or completed) at the prompt, the first record with exactly
// that German title, then the new-DVD form's fields showing its values.
// F1 replaces that record's line, F2 and Escape leave it as it is.
void DvdApplication::editDvdDialog() {
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
            return record_removal::searchResult(library, library.findRecordForEdit(title));
        });
        if (search.record == dialog::TitleSearch::NOT_FOUND) {
            dialog::showMessage(*this, MESSAGE_ROW, MESSAGE_COLUMN,
                                dialog::notFoundMessage(*this, search, MESSAGE_ROW, MESSAGE_COLUMN,
                                                        "KEINEN FILM MIT DIESEM TITEL GEFUNDEN!"));
            continue;
        }
        FormDefinition form = newDvdFormDefinition(*this);
        form.drawHeading = &DvdApplication::drawEditDvdHeading;
        form.startValues = {library.getGenre(WORK_ROW), library.getTitleGerman(WORK_ROW),
                            library.getTitleEnglish(WORK_ROW), library.getLengthMinutes(WORK_ROW)};
        form.endsAfterDecision = true;
        form.saveRefusal = [] { return TITLE_OF_LENT_DVD; };
        const std::string storedTitle = library.getTitleGerman(WORK_ROW);
        form.appendRecord = [this, &storedTitle, record = search.record] {
            if (library.getTitleGerman(WORK_ROW) != storedTitle) {
                const RentalRegister::Lendings lendings =
                    withLockWaitNotice(*this, SAVE_MESSAGE_ROW, SAVE_MESSAGE_COLUMN, [&] { return rentals.lendingsOf(storedTitle); });
                // A rename the lending check could not clear is not written.
                if (!lendings.read) return SaveOutcome::Failed;
                if (lendings.count > 0) return SaveOutcome::Declined;
            }
            const storage::SaveResult saved =
                withLockWaitNotice(*this, SAVE_MESSAGE_ROW, SAVE_MESSAGE_COLUMN, [&] { return library.replaceRecord(record); });
            if (saved == storage::SaveResult::ChangedMeanwhile) return SaveOutcome::ChangedMeanwhile;
            return saved == storage::SaveResult::Saved ? SaveOutcome::Saved : SaveOutcome::Failed;
        };
        // A file changed meanwhile is read afresh, from the title prompt.
        if (runForm(*this, form) != FormEnd::FileChanged) return;
    }
}
