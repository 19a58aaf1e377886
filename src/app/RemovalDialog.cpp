#include "app/RemovalDialog.h"

#include <iostream>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "console/Colors.h"
#include "console/InputField.h"
#include "library/LibraryRecord.h"

namespace {

constexpr int PROMPT_ROW = 10;
constexpr int QUESTION_ROW = 20;
constexpr int ANSWER_ROW = 22;
constexpr int SAVE_FAILED_ROW = REMOVAL_MESSAGE_ROW;
// Where the record a question is about is named, in every dialog.
constexpr int CHOICE_ROW = 24;
constexpr int CHOICE_COLUMN = 10;
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

std::string noteOf(const RemovalDialog& dialog, const std::string& title) {
    return dialog.noteOnQuestion ? dialog.noteOnQuestion(title) : std::string();
}

// "AUSGELIEHEN VON Vorname Name"
std::string borrowerLine(const lending_dates::Borrowing& who) {
    return "AUSGELIEHEN VON " + who.firstName + " " + who.surname;
}

// The question, with the line naming its record and the note below
// "[j/n]:" when there are; the answer typed.
std::string askQuestion(DvdApplication& application, const RecordQuestion& question, const std::string& choiceLine) {
    application.setColor(colors::YELLOW, colors::BLACK);
    dialog::writeAt(application, QUESTION_ROW, question.questionColumn, question.question);
    application.setCursor(ANSWER_ROW, question.questionColumn);
    std::cout << ANSWER_PROMPT;
    const int noteRow = choiceLine.empty() ? CHOICE_ROW : CHOICE_ROW + 2;
    const auto drawBelow = [&](int row, int column, const std::string& text, int color) {
        if (text.empty()) return;
        application.setColor(color, colors::BLACK);
        dialog::writeAt(application, row, column, text);
        application.addNoteRow(row);
    };
    drawBelow(CHOICE_ROW, CHOICE_COLUMN, choiceLine, colors::YELLOW);
    drawBelow(noteRow, question.questionColumn, question.note, colors::LIGHT_RED);
    application.setColor(colors::YELLOW, colors::BLACK);
    application.setCursor(ANSWER_ROW, question.questionColumn + static_cast<int>(ANSWER_PROMPT.size()));
    const std::string answer = application.readField(1, ANSWER_ROW, question.answerColumn);
    // A message in their place must not run into what is left of them.
    const auto eraseBelow = [&](int row, int column, const std::string& text) {
        if (text.empty()) return;
        dialog::writeAt(application, row, column, std::string(text.size(), ' '));
        application.removeNoteRow(row);
    };
    eraseBelow(noteRow, question.questionColumn, question.note);
    eraseBelow(CHOICE_ROW, CHOICE_COLUMN, choiceLine);
    return answer;
}

bool isYes(const std::string& answer) { return answer == "j" || answer == "J"; }

}  // namespace

int askForEachChoice(DvdApplication& application, const RecordQuestion& question, const std::vector<Choice>& choices) {
    for (std::size_t index = 0; index < choices.size(); ++index) {
        const std::string line = choices[index].line + " (" + std::to_string(index + 1) + " von " +
                                 std::to_string(choices.size()) + ")";
        const std::string answer = askQuestion(application, question, line);
        if (isYes(answer)) return choices[index].record;
        if (answer != "n" && answer != "N") break;
        // The next question starts with an empty answer.
        dialog::writeAt(application, ANSWER_ROW, question.answerColumn, " ");
    }
    return dialog::TitleSearch::NOT_FOUND;
}

std::vector<Choice> copyChoices(const std::vector<storage::StoreFile::Match>& copies) {
    using namespace library_record;
    std::vector<Choice> choices;
    for (const storage::StoreFile::Match& copy : copies)
        choices.push_back({copy.record, "EXEMPLAR: " + copy.fields[GENRE] + ", " + copy.fields[TITLE_ENGLISH] + ", " +
                                            copy.fields[LENGTH_MINUTES]});
    return choices;
}

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
        std::vector<Choice> choices;
        for (const NamedLending& lending : lendings) choices.push_back({lending.record, borrowerLine(lending.who)});
        if (lendings.empty() && dialog.recordsFound) choices = dialog.recordsFound();
        const RecordQuestion question{dialog.questionStart + title + dialog.questionEnd, dialog.questionColumn,
                                      dialog.answerColumn, noteOf(dialog, title)};
        if (choices.size() >= 2) record = askForEachChoice(application, question, choices);
        else if (!isYes(askQuestion(application, question, {}))) record = dialog::TitleSearch::NOT_FOUND;
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
