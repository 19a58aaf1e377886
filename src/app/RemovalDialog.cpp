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
constexpr int SAVE_FAILED_ROW = REMOVAL_MESSAGE_ROW;
constexpr int NOTE_ROW = 24;
constexpr std::string_view ANSWER_PROMPT = "[j/n]:";

// The title typed at the prompt; on a prompt asked again after a title was
// not found, Ctrl+A as the first key searches again with the last title.
bool askTitle(DvdApplication& application, const RemovalDialog& dialog, std::string& title, bool askedAgain) {
    constexpr int TITLE_LENGTH = library_record::FIELDS[library_record::TITLE_GERMAN].length;
    static_assert(TITLE_LENGTH == rental_record::FIELDS[rental_record::FILM_TITLE].length);
    application.clearScreen();
    (application.*dialog.drawHeading)();
    application.setColor(colors::YELLOW, colors::BLACK);
    application.setCursor(PROMPT_ROW, dialog.promptColumn);
    std::cout << dialog.prompt;
    // As long as the title fields of the forms, so every title can be typed.
    const FieldCompletion complete =
        dialog.completeTitle ? dialog.completeTitle({application, QUESTION_ROW, 20, TITLE_LENGTH}) : FieldCompletion();
    FieldEntry entry =
        enterField(application, TITLE_LENGTH, PROMPT_ROW, dialog.titleColumn, {.ctrlARepeats = askedAgain, .complete = complete});
    if (entry.repeatWanted) return true;
    title = std::move(entry.text);
    return title != "escape";
}

struct QuestionNote {
    std::string text;
    int color;
};

std::string noteOf(const RemovalDialog& dialog, const std::string& title) {
    return dialog.noteOnQuestion ? dialog.noteOnQuestion(title) : std::string();
}

// "AUSGELIEHEN VON Vorname Name (k von n)"
std::string borrowerLine(const lending_dates::Borrowing& who, int number, int count) {
    return "AUSGELIEHEN VON " + who.firstName + " " + who.surname + " (" + std::to_string(number) + " von " +
           std::to_string(count) + ")";
}

// The question about the title found, with a line below "[j/n]:" when
// there is one to say; the answer typed.
std::string askQuestion(DvdApplication& application, const RemovalDialog& dialog, const std::string& title,
                        const QuestionNote& note) {
    application.setColor(colors::YELLOW, colors::BLACK);
    dialog::writeAt(application, QUESTION_ROW, dialog.questionColumn, dialog.questionStart + title + dialog.questionEnd);
    application.setCursor(ANSWER_ROW, dialog.questionColumn);
    std::cout << ANSWER_PROMPT;
    if (!note.text.empty()) {
        application.setColor(note.color, colors::BLACK);
        dialog::writeAt(application, NOTE_ROW, dialog.questionColumn, note.text);
        application.addNoteRow(NOTE_ROW);
        application.setColor(colors::YELLOW, colors::BLACK);
        application.setCursor(ANSWER_ROW, dialog.questionColumn + static_cast<int>(ANSWER_PROMPT.size()));
    }
    const std::string answer = application.readField(1, ANSWER_ROW, dialog.answerColumn);
    // A message in the note's place must not run into what is left of it.
    if (!note.text.empty()) {
        dialog::writeAt(application, NOTE_ROW, dialog.questionColumn, std::string(note.text.size(), ' '));
        application.removeNoteRow(NOTE_ROW);
    }
    return answer;
}

bool isYes(const std::string& answer) { return answer == "j" || answer == "J"; }

// The question for each lending of a title lent more than once, naming its
// borrower: the record of the one returned, or none after the last "n".
int askForEachBorrower(DvdApplication& application, const RemovalDialog& dialog, const std::string& title,
                       const std::vector<NamedLending>& lendings) {
    for (std::size_t index = 0; index < lendings.size(); ++index) {
        const std::string answer = askQuestion(
            application, dialog, title,
            {borrowerLine(lendings[index].who, static_cast<int>(index) + 1, static_cast<int>(lendings.size())), colors::YELLOW});
        if (isYes(answer)) return lendings[index].record;
        if (answer != "n" && answer != "N") break;
        // The next question starts with an empty answer.
        dialog::writeAt(application, ANSWER_ROW, dialog.answerColumn, " ");
    }
    return dialog::TitleSearch::NOT_FOUND;
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
        int record = search.record;
        const std::vector<NamedLending> lendings = withLockWaitNotice(application, QUESTION_ROW, 20, [&] {
            return dialog.lendingsOf ? dialog.lendingsOf(title) : std::vector<NamedLending>{};
        });
        if (lendings.size() == 1) record = lendings.front().record;
        if (lendings.size() >= 2) record = askForEachBorrower(application, dialog, title, lendings);
        else if (!isYes(askQuestion(application, dialog, title, {noteOf(dialog, title), colors::LIGHT_RED})))
            record = dialog::TitleSearch::NOT_FOUND;
        if (record == dialog::TitleSearch::NOT_FOUND) return;
        // A failed rewrite leaves the file as it was; say so instead of returning silently.
        const storage::SaveResult saved = withLockWaitNotice(
            application, SAVE_FAILED_ROW, dialog.questionColumn, [&] { return dialog.removeAndSave(record); });
        if (saved == storage::SaveResult::Saved) return;
        const bool changed = saved == storage::SaveResult::ChangedMeanwhile;
        dialog::showMessage(application, SAVE_FAILED_ROW, dialog.questionColumn,
                            changed ? dialog::FILE_CHANGED : dialog::SAVE_FAILED);
        // A file changed meanwhile is read afresh by the next search, from the title prompt.
        if (!changed) return;
    }
}
