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

// The first lending in file order whose title has exactly these bytes.
int findByFilmTitle(const RentalRegister& rentals, const std::string& title) {
    for (int i = 0; i < rentals.recordCount(); ++i) {
        if (rentals.getFilmTitle(i) == title) return i;
    }
    return NOT_FOUND;
}

}  // namespace

void DvdApplication::returnDvdDialog() {
    rentals.clear();
    rentals.load();
    std::string input;
    int state = REDRAW;
    for (;;) {
        state = dialog::nextState(*this, state, stepActs(state));
        if (state == KEY_ESCAPE) return;
        if (state == REDRAW) {
            clearScreen();
            drawReturnHeading();
            setColor(dialog::YELLOW, dialog::BLACK);
            setCursor(10, 5);
            std::cout << "Titel des zurueckgegebenen Filmes eingeben:";
            input = readField(30, 10, 52);
            if (input == "escape") return;
            state = STEP_SEARCH;
        } else if (state == STEP_SEARCH) {
            clearScreen();
            const int found = findByFilmTitle(rentals, input);
            if (found == NOT_FOUND) {
                dialog::showMessage(*this, 20, 20, "KEINEN FILM MIT DIESEM TITEL GEFUNDEN!");
                state = REDRAW;
                continue;
            }
            setColor(dialog::YELLOW, dialog::BLACK);
            dialog::writeAt(*this, 20, 10, "Ist der Film " + rentals.getFilmTitle(found) + " retour?");
            setCursor(22, 10);
            std::cout << "[j/n]:";
            const std::string answer = readField(1, 22, 17);
            if (answer == "j" || answer == "J") {
                rentals.removeRecord(found);
                // A failed rewrite leaves the file as it was; say so instead of returning silently.
                if (!rentals.saveAll()) dialog::showMessage(*this, 24, 10, dialog::SAVE_FAILED);
            }
            return;
        }
    }
}
