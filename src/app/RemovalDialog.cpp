#include "app/RemovalDialog.h"

#include <iostream>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "app/LockWaitNotice.h"
#include "console/Colors.h"
#include "console/InputField.h"

namespace {

constexpr int PROMPT_ROW = 10;
constexpr int QUESTION_ROW = 20;
constexpr int ANSWER_ROW = 22;
constexpr int SAVE_FAILED_ROW = 24;
constexpr int NOTE_ROW = 24;
constexpr std::string_view ANSWER_PROMPT = "[j/n]:";

// The title typed at the prompt; on a prompt asked again after a title was
// not found, Ctrl+A as the first key searches again with the last title.
bool askTitle(DvdApplication& application, const RemovalDialog& dialog, std::string& title, bool askedAgain) {
    constexpr int TITLE_LENGTH = 30;
    application.clearScreen();
    (application.*dialog.drawHeading)();
    application.setColor(colors::YELLOW, colors::BLACK);
    application.setCursor(PROMPT_ROW, dialog.promptColumn);
    std::cout << dialog.prompt;
    // 30 characters, as the title fields of the forms, so every title can be typed.
    const FieldCompletion complete =
        dialog.completeTitle ? dialog.completeTitle({application, QUESTION_ROW, 20, TITLE_LENGTH}) : FieldCompletion();
    FieldEntry entry =
        enterField(application, TITLE_LENGTH, PROMPT_ROW, dialog.titleColumn, {.ctrlARepeats = askedAgain, .complete = complete});
    if (entry.repeatWanted) return true;
    title = std::move(entry.text);
    return title != "escape";
}

}  // namespace

void runRemovalDialog(DvdApplication& application, const RemovalDialog& dialog) {
    std::string title;
    for (bool askedAgain = false;; askedAgain = true) {
        if (!askTitle(application, dialog, title, askedAgain)) return;
        application.clearScreen();
        const dialog::TitleSearch search =
            withLockWaitNotice(application, QUESTION_ROW, 20, [&] { return dialog.findTitle(title); });
        if (search.record == dialog::TitleSearch::NOT_FOUND) {
            // Keys typed meanwhile go to the prompt asked again.
            dialog::showMessage(application, QUESTION_ROW, 20,
                                dialog::notFoundMessage(application, search, QUESTION_ROW, 20,
                                                        "KEINEN FILM MIT DIESEM TITEL GEFUNDEN!"));
            continue;
        }
        application.setColor(colors::YELLOW, colors::BLACK);
        dialog::writeAt(application, QUESTION_ROW, dialog.questionColumn,
                        dialog.questionStart + title + dialog.questionEnd);
        application.setCursor(ANSWER_ROW, dialog.questionColumn);
        std::cout << ANSWER_PROMPT;
        const std::string note = dialog.noteOnQuestion ? dialog.noteOnQuestion(title) : std::string();
        if (!note.empty()) {
            application.setColor(colors::LIGHT_RED, colors::BLACK);
            dialog::writeAt(application, NOTE_ROW, dialog.questionColumn, note);
            application.addNoteRow(NOTE_ROW);
            application.setColor(colors::YELLOW, colors::BLACK);
            application.setCursor(ANSWER_ROW, dialog.questionColumn + static_cast<int>(ANSWER_PROMPT.size()));
        }
        const std::string answer = application.readField(1, ANSWER_ROW, dialog.answerColumn);
        // A message in the note's place must not run into what is left of it.
        if (!note.empty()) {
            dialog::writeAt(application, NOTE_ROW, dialog.questionColumn, std::string(note.size(), ' '));
            application.removeNoteRow(NOTE_ROW);
        }
        if (answer != "j" && answer != "J") return;
        // A failed rewrite leaves the file as it was; say so instead of returning silently.
        const storage::SaveResult saved = withLockWaitNotice(
            application, SAVE_FAILED_ROW, dialog.questionColumn, [&] { return dialog.removeAndSave(search.record); });
        if (saved == storage::SaveResult::Saved) return;
        const bool changed = saved == storage::SaveResult::ChangedMeanwhile;
        dialog::showMessage(application, SAVE_FAILED_ROW, dialog.questionColumn,
                            changed ? dialog::FILE_CHANGED : dialog::SAVE_FAILED);
        // A file changed meanwhile is read afresh by the next search, from the title prompt.
        if (!changed) return;
    }
}
