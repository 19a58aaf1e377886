#include "app/RemovalDialog.h"

#include <iostream>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "app/LockWaitNotice.h"
#include "console/Colors.h"
#include "console/Keys.h"

namespace {

constexpr int STEP_SEARCH = keys::CTRL_A;  // typed: search again with the last title
constexpr int PROMPT_ROW = 10;
constexpr int QUESTION_ROW = 20;
constexpr int ANSWER_ROW = 22;
constexpr int SAVE_FAILED_ROW = 24;

bool stepActs(int state) {
    return state == DvdApplication::REDRAW || state == STEP_SEARCH || state == keys::ESCAPE;
}

}  // namespace

void runRemovalDialog(DvdApplication& application, const RemovalDialog& dialog) {
    std::string title;
    int state = DvdApplication::REDRAW;
    for (;;) {
        state = dialog::nextState(application, state, stepActs(state));
        if (state == keys::ESCAPE) return;
        if (state == DvdApplication::REDRAW) {
            application.clearScreen();
            (application.*dialog.drawHeading)();
            application.setColor(colors::YELLOW, colors::BLACK);
            application.setCursor(PROMPT_ROW, dialog.promptColumn);
            std::cout << dialog.prompt;
            // 30 characters, as the title fields of the forms, so every title can be typed.
            title = application.readField(30, PROMPT_ROW, dialog.titleColumn);
            if (title == "escape") return;
            state = STEP_SEARCH;
        } else if (state == STEP_SEARCH) {
            application.clearScreen();
            const dialog::TitleSearch search =
                withLockWaitNotice(application, QUESTION_ROW, 20, [&] { return dialog.findTitle(title); });
            if (search.record == dialog::TitleSearch::NOT_FOUND) {
                dialog::showMessage(application, QUESTION_ROW, 20,
                                    dialog::notFoundMessage(application, search, QUESTION_ROW, 20,
                                                            "KEINEN FILM MIT DIESEM TITEL GEFUNDEN!"));
                state = DvdApplication::REDRAW;
                continue;
            }
            application.setColor(colors::YELLOW, colors::BLACK);
            dialog::writeAt(application, QUESTION_ROW, dialog.questionColumn,
                            dialog.questionStart + title + dialog.questionEnd);
            application.setCursor(ANSWER_ROW, dialog.questionColumn);
            std::cout << "[j/n]:";
            const std::string answer = application.readField(1, ANSWER_ROW, dialog.answerColumn);
            if (answer != "j" && answer != "J") return;
            // A failed rewrite leaves the file as it was; say so instead of returning silently.
            const storage::SaveResult saved = withLockWaitNotice(
                application, SAVE_FAILED_ROW, dialog.questionColumn, [&] { return dialog.removeAndSave(search.record); });
            if (saved == storage::SaveResult::Saved) return;
            const bool changed = saved == storage::SaveResult::ChangedMeanwhile;
            dialog::showMessage(application, SAVE_FAILED_ROW, dialog.questionColumn,
                                changed ? dialog::FILE_CHANGED : dialog::SAVE_FAILED);
            if (!changed) return;
            state = DvdApplication::REDRAW;
        }
    }
}
