#include <iostream>
#include <string>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"

namespace {

constexpr int STEP_SEARCH = 1;  // also Ctrl+A: search again with the last title
constexpr int NOT_FOUND = -1;

bool stepActs(int state) {
    return state == DvdApplication::REDRAW || state == STEP_SEARCH || state == DvdApplication::KEY_ESCAPE;
}

// The first record in file order whose German title has exactly these bytes.
int findByGermanTitle(const DvdLibrary& library, const std::string& title) {
    for (int i = 0; i < library.recordCount(); ++i) {
        if (library.getTitleGerman(i) == title) return i;
    }
    return NOT_FOUND;
}

}  // namespace

void DvdApplication::deleteDvdDialog() {
    library.clear();
    library.load();
    std::string title;
    int state = REDRAW;
    for (;;) {
        state = dialog::nextState(*this, state, stepActs(state));
        if (state == KEY_ESCAPE) return;
        if (state == REDRAW) {
            clearScreen();
            drawDeleteDvdHeading();
            setColor(dialog::YELLOW, dialog::BLACK);
            setCursor(10, 15);
            std::cout << "Zu loeschender Filmtitel eingeben:";
            // As wide as the title field of the new-DVD form, so every title can be typed.
            title = readField(30, 10, 52);
            if (title == "escape") return;
            state = STEP_SEARCH;
        } else if (state == STEP_SEARCH) {
            clearScreen();
            const int found = findByGermanTitle(library, title);
            if (found == NOT_FOUND) {
                dialog::showMessage(*this, 20, 20, "KEINEN FILM MIT DIESEM TITEL GEFUNDEN!");
                state = REDRAW;
                continue;
            }
            setColor(dialog::YELLOW, dialog::BLACK);
            dialog::writeAt(*this, 20, 20, "Soll " + library.getTitleGerman(found) + " geloescht werden?");
            setCursor(22, 20);
            std::cout << "[j/n]:";
            const std::string answer = readField(1, 22, 27);
            if (answer == "j" || answer == "J") {
                library.removeRecord(found);
                // A failed rewrite leaves the file as it was; say so instead of returning silently.
                if (!library.saveAll()) dialog::showMessage(*this, 24, 20, dialog::SAVE_FAILED);
            }
            return;
        }
    }
}
