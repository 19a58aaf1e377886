#include <iostream>
#include <string>
#include <vector>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "app/LockWaitNotice.h"
#include "app/LibraryColumns.h"
#include "console/Colors.h"
#include "console/Keys.h"

namespace {

constexpr int STEP_SEARCH = keys::CTRL_A;  // typed: the same search again
constexpr int RESULTS_SHOWN = 2;

bool stepActs(int state) {
    return state == DvdApplication::REDRAW || state == STEP_SEARCH || state == keys::ESCAPE;
}

}  // namespace

void DvdApplication::searchByGenre() {
    library.clear();
    withLockWaitNotice(*this, 20, 30, [this] { return library.load(); });
    std::string searchText;
    bool resultsOnScreen = false;
    int state = REDRAW;
    for (;;) {
        if (resultsOnScreen && !stepActs(state)) {
            // Waiting on the results: the page, arrow, Home and End keys scroll
            // them; any other key acts through the state as usual.
            const keys::KeyPress key = keys::readKey(*this);
            state = key.extended && dialog::scrollForKey(*this, key.code) ? RESULTS_SHOWN : key.code;
        } else {
            state = dialog::nextState(*this, state, stepActs(state));
        }
        if (state == keys::ESCAPE) return;
        if (state == REDRAW) {
            resultsOnScreen = false;
            clearScreen();
            drawSearchHeading();
            setColor(colors::YELLOW, colors::BLACK);
            setCursor(10, 15);
            std::cout << "Zu suchende Film Art eingeben:";
            searchText = readField(20, 10, 48);
            if (searchText == "escape") return;
            state = STEP_SEARCH;
        } else if (state == STEP_SEARCH) {
            resultsOnScreen = false;
            clearScreen();
            drawSearchResultHeading();
            std::vector<int> hits;
            for (int i = 0; i < library.recordCount(); ++i)
                if (library.getGenre(i) == searchText) hits.push_back(i);
            drawListRows(*this, libraryColumns(), static_cast<int>(hits.size()), fileNoticeOf(library), [&](int hit, int columnIndex) {
                return libraryColumnValue(library, hits[static_cast<size_t>(hit)], columnIndex);
            });
            if (!hits.empty()) {
                // A result longer than the window opens at its heading, not at its last line.
                scrollViewTo(0);
                resultsOnScreen = true;
                state = RESULTS_SHOWN;
            } else {
                dialog::showMessage(*this, 20, 30,
                                    library.wasLocked() ? dialog::FILE_LOCKED : "KEINE FILME DIESER ART GEFUNDEN!");
                state = REDRAW;
            }
        }
    }
}
