#include <iostream>
#include <memory>
#include <string>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "console/Colors.h"
#include "console/Keys.h"

namespace {

constexpr int STEP_SURNAME = 'T';
constexpr int STEP_FIRST_NAME = 'E';
constexpr int STEP_SAVE_PROMPT = 'S';
constexpr int WAITING_FOR_DECISION = 0;
constexpr int KEY_SAVE = 59;     // second code of F1, or ';'
constexpr int KEY_DISCARD = 60;  // second code of F2, or '<'
constexpr int LABEL_COLUMN = 20;
constexpr int FIELD_COLUMN = 40;
constexpr int MESSAGE_ROW = 20;
constexpr int MESSAGE_COLUMN = 30;

bool stepActs(int state) {
    switch (state) {
        case DvdApplication::REDRAW:
        case STEP_SURNAME:
        case STEP_FIRST_NAME:
        case STEP_SAVE_PROMPT:
        case KEY_SAVE:
        case KEY_DISCARD:
        case keys::ESCAPE:
            return true;
        default:
            return false;
    }
}

// Only a German title of the library file, compared byte for byte, can be lent.
bool isTitleInLibrary(DvdLibrary& titles, const std::string& title) {
    titles.clear();
    titles.load();
    for (int i = 0; i < titles.recordCount(); ++i) {
        if (titles.getTitleGerman(i) == title) return true;
    }
    return false;
}

}  // namespace

// The lending is assembled in WORK_ROW of the rental register and appended to
// the file as one line; the register itself is neither loaded nor counted.
void DvdApplication::lendDvdForm() {
    // Read anew for every title; the application's library stays untouched.
    auto titleCheckLibrary = std::make_unique<DvdLibrary>();
    // Keys typed during the message of a refused title can lead to the save
    // step: only a title accepted since it was typed may be saved.
    bool titleAccepted = false;
    int state = REDRAW;
    for (;;) {
        state = dialog::nextState(*this, state, stepActs(state));
        switch (state) {
            case REDRAW:
                clearScreen();
                drawLendHeading();
                setColor(colors::YELLOW, colors::BLACK);
                setCursor(10, LABEL_COLUMN);
                std::cout << "Titel:";
                titleAccepted = false;
                rentals.setFilmTitle(readField(30, 10, FIELD_COLUMN), WORK_ROW);
                if (rentals.getFilmTitle(WORK_ROW) == "escape") {
                    state = keys::ESCAPE;
                } else if (isTitleInLibrary(*titleCheckLibrary, rentals.getFilmTitle(WORK_ROW))) {
                    titleAccepted = true;
                    state = STEP_SURNAME;
                } else {
                    dialog::showMessage(*this, MESSAGE_ROW, MESSAGE_COLUMN, "FILM NICHT VORHANDEN!");
                    setColor(colors::YELLOW, colors::BLACK);
                    state = REDRAW;
                }
                break;
            case STEP_SURNAME:
                setCursor(12, LABEL_COLUMN);
                std::cout << "Name:";
                rentals.setSurname(readField(30, 12, FIELD_COLUMN), WORK_ROW);
                state = rentals.getSurname(WORK_ROW) == "escape" ? keys::ESCAPE : STEP_FIRST_NAME;
                break;
            case STEP_FIRST_NAME:
                setCursor(14, LABEL_COLUMN);
                std::cout << "Vorname:";
                rentals.setFirstName(readField(30, 14, FIELD_COLUMN), WORK_ROW);
                state = rentals.getFirstName(WORK_ROW) == "escape" ? keys::ESCAPE : STEP_SAVE_PROMPT;
                break;
            case STEP_SAVE_PROMPT:
                dialog::drawSavePrompt(*this);
                state = WAITING_FOR_DECISION;
                break;
            case KEY_SAVE:
                if (!titleAccepted) {
                    state = REDRAW;
                } else if (rentals.appendRecord()) {
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
