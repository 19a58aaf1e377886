#include <iostream>
#include <string>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"

namespace {

constexpr int STEP_SEARCH = 1;  // also Ctrl+A: the same search again
constexpr int RESULTS_SHOWN = 2;
constexpr int FIRST_HIT_ROW = 10;
constexpr int GENRE_COLUMN = 2;
constexpr int GERMAN_TITLE_COLUMN = 20;
constexpr int ENGLISH_TITLE_COLUMN = 45;
constexpr int LENGTH_COLUMN = 70;

bool stepActs(int state) {
    return state == DvdApplication::REDRAW || state == STEP_SEARCH || state == DvdApplication::KEY_ESCAPE;
}

}  // namespace

void DvdApplication::searchByGenre() {
    library.clear();
    library.load();
    std::string searchText;
    bool resultsOnScreen = false;
    int state = REDRAW;
    for (;;) {
        if (resultsOnScreen && !stepActs(state)) {
            // Waiting on the results: the page, arrow, Home and End keys scroll
            // them; any other key acts through the state as usual.
            state = readKey();
            if (dialog::isExtendedPrefix(state)) {
                state = readKey();
                if (dialog::scrollForKey(*this, state)) state = RESULTS_SHOWN;
            }
        } else {
            state = dialog::nextState(*this, state, stepActs(state));
        }
        if (state == KEY_ESCAPE) return;
        if (state == REDRAW) {
            resultsOnScreen = false;
            clearScreen();
            drawSearchHeading();
            setColor(dialog::YELLOW, dialog::BLACK);
            setCursor(10, 15);
            std::cout << "Zu suchende Film Art eingeben:";
            searchText = readField(20, 10, 48);
            if (searchText == "escape") return;
            state = STEP_SEARCH;
        } else if (state == STEP_SEARCH) {
            resultsOnScreen = false;
            clearScreen();
            drawSearchResultHeading();
            setColor(dialog::YELLOW, dialog::BLACK);
            setCursor(7, GENRE_COLUMN);
            std::cout << "Film Art:";
            setCursor(7, GERMAN_TITLE_COLUMN);
            std::cout << "Titel DE:";
            setCursor(7, ENGLISH_TITLE_COLUMN);
            std::cout << "Titeln ENG:";
            setCursor(7, LENGTH_COLUMN);
            std::cout << "Laenge:";
            int outputRow = FIRST_HIT_ROW;
            for (int i = 0; i < library.recordCount(); ++i) {
                if (library.getGenre(i) != searchText) continue;
                // Each value is written whole up to the right edge; the next one overwrites what reaches into its column.
                dialog::writeAt(*this, outputRow, GENRE_COLUMN, library.getGenre(i));
                dialog::writeAt(*this, outputRow, GERMAN_TITLE_COLUMN, library.getTitleGerman(i));
                dialog::writeAt(*this, outputRow, ENGLISH_TITLE_COLUMN, library.getTitleEnglish(i));
                dialog::writeAt(*this, outputRow, LENGTH_COLUMN, library.getLengthMinutes(i));
                ++outputRow;
            }
            if (outputRow > FIRST_HIT_ROW) {
                // A result longer than the window opens at its heading, not at its last line.
                scrollViewTo(0);
                resultsOnScreen = true;
                state = RESULTS_SHOWN;
            } else {
                dialog::showMessage(*this, 20, 30, "KEINE FILME DIESER ART GEFUNDEN!");
                state = REDRAW;
            }
        }
    }
}
