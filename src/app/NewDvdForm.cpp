#include <iostream>
#include <string>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "console/Colors.h"
#include "console/Keys.h"

namespace {

constexpr int STEP_GERMAN_TITLE = 'T';
constexpr int STEP_ENGLISH_TITLE = 'E';
constexpr int STEP_LENGTH = 'L';
constexpr int STEP_SAVE_PROMPT = 'S';
constexpr int WAITING_FOR_DECISION = 0;
constexpr int KEY_SAVE = 59;     // second code of F1, or ';'
constexpr int KEY_DISCARD = 60;  // second code of F2, or '<'
constexpr int LABEL_COLUMN = 20;
constexpr int FIELD_COLUMN = 40;
constexpr int MESSAGE_ROW = 30;
constexpr int MESSAGE_COLUMN = 25;
constexpr const char* WRONG_LENGTH = "FALSCHE EINGABE DER LAENGE!";

bool stepActs(int state) {
    switch (state) {
        case DvdApplication::REDRAW:
        case STEP_GERMAN_TITLE:
        case STEP_ENGLISH_TITLE:
        case STEP_LENGTH:
        case STEP_SAVE_PROMPT:
        case KEY_SAVE:
        case KEY_DISCARD:
        case keys::ESCAPE:
            return true;
        default:
            return false;
    }
}

}  // namespace

// The record is assembled in WORK_ROW and appended to the file as one line.
void DvdApplication::newDvdForm() {
    int state = REDRAW;
    for (;;) {
        state = dialog::nextState(*this, state, stepActs(state));
        switch (state) {
            case REDRAW:
                clearScreen();
                drawNewDvdHeading();
                setColor(colors::YELLOW, colors::BLACK);
                setCursor(10, LABEL_COLUMN);
                std::cout << "Film Art:";
                library.setGenre(readField(20, 10, FIELD_COLUMN), WORK_ROW);
                state = library.getGenre(WORK_ROW) == "escape" ? keys::ESCAPE : STEP_GERMAN_TITLE;
                break;
            case STEP_GERMAN_TITLE:
                setCursor(12, LABEL_COLUMN);
                std::cout << "Titel in Deutsch:";
                library.setTitleGerman(readField(30, 12, FIELD_COLUMN), WORK_ROW);
                state = library.getTitleGerman(WORK_ROW) == "escape" ? keys::ESCAPE : STEP_ENGLISH_TITLE;
                break;
            case STEP_ENGLISH_TITLE:
                setCursor(14, LABEL_COLUMN);
                std::cout << "Titel in Englisch:";
                library.setTitleEnglish(readField(30, 14, FIELD_COLUMN), WORK_ROW);
                state = library.getTitleEnglish(WORK_ROW) == "escape" ? keys::ESCAPE : STEP_LENGTH;
                break;
            case STEP_LENGTH:
                setCursor(16, LABEL_COLUMN);
                setColor(colors::YELLOW, colors::BLACK);
                std::cout << "Laenge in Minuten:";
                library.setLengthMinutes(readField(3, 16, FIELD_COLUMN), WORK_ROW);
                if (library.getLengthMinutes(WORK_ROW) == "escape") {
                    state = keys::ESCAPE;
                } else if (library.isValidLength(library.getLengthMinutes(WORK_ROW))) {
                    state = STEP_SAVE_PROMPT;
                } else {
                    setCursor(16, FIELD_COLUMN);
                    std::cout << "   ";
                    dialog::showMessage(*this, MESSAGE_ROW, MESSAGE_COLUMN, WRONG_LENGTH);
                    dialog::eraseMessage(*this, MESSAGE_ROW, MESSAGE_COLUMN, WRONG_LENGTH);
                    state = STEP_LENGTH;
                }
                break;
            case STEP_SAVE_PROMPT:
                dialog::drawSavePrompt(*this);
                state = WAITING_FOR_DECISION;
                break;
            case KEY_SAVE:
                // A key typed during the length message can reach this step
                // with a refused running time still in the record.
                if (!library.isValidLength(library.getLengthMinutes(WORK_ROW))) {
                    state = STEP_LENGTH;
                } else if (library.appendRecord()) {
                    state = REDRAW;
                } else {
                    dialog::reportSaveFailure(*this, MESSAGE_ROW, MESSAGE_COLUMN);
                    state = STEP_SAVE_PROMPT;
                }
                break;
            case KEY_DISCARD:
                state = REDRAW;
                break;
            default:
                break;
        }
        if (state == keys::ESCAPE) return;
    }
}
