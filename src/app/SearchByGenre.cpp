#include <iostream>
#include <string>
#include <vector>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "app/LibraryColumns.h"
#include "console/Colors.h"
#include "console/InputField.h"
#include "console/Keys.h"

namespace {

constexpr int KEY_SEARCH_AGAIN = keys::CTRL_A;

enum class ResultsLeft { NewSearch, SameSearch, Leave };

// Waits on the results: the cursor block scrolls them, '@' asks for a new
// film type, Ctrl+A searches again, Escape leaves; other keys do nothing.
ResultsLeft awaitOnResults(ConsoleScreen& screen) {
    for (;;) {
        const keys::KeyPress key = keys::readKey(screen);
        if (key.extended) {
            dialog::scrollForKey(screen, key.code);
        } else if (key.code == DvdApplication::REDRAW) {
            return ResultsLeft::NewSearch;
        } else if (key.code == KEY_SEARCH_AGAIN) {
            return ResultsLeft::SameSearch;
        } else if (key.code == keys::ESCAPE) {
            return ResultsLeft::Leave;
        }
    }
}

}  // namespace

void DvdApplication::searchByGenre() {
    library.clear();
    library.load();
    std::string searchText;
    for (bool askedAgain = false;;) {
        clearScreen();
        drawSearchHeading();
        setColor(colors::YELLOW, colors::BLACK);
        setCursor(10, 15);
        std::cout << "Zu suchende Film Art eingeben:";
        // After "none found", Ctrl+A as the first key searches again with the same type.
        FieldEntry entry = enterField(*this, 20, 10, 48, {.ctrlARepeats = askedAgain});
        if (!entry.repeatWanted) searchText = std::move(entry.text);
        if (searchText == "escape") return;
        for (;;) {
            clearScreen();
            drawSearchResultHeading();
            std::vector<int> hits;
            for (int i = 0; i < library.recordCount(); ++i)
                if (library.getGenre(i) == searchText) hits.push_back(i);
            drawListRows(*this, libraryColumns(), static_cast<int>(hits.size()), fileNoticeOf(library), [&](int hit, int columnIndex) {
                return libraryColumnValue(library, hits[static_cast<size_t>(hit)], columnIndex);
            });
            if (hits.empty()) {
                // Keys typed meanwhile go to the prompt asked again.
                dialog::showMessage(*this, 20, 30,
                                    library.wasLocked() ? dialog::FILE_LOCKED : "KEINE FILME DIESER ART GEFUNDEN!");
                askedAgain = true;
                break;
            }
            // A result longer than the window opens at its heading, not at its last line.
            dialog::showFromStart(*this);
            const ResultsLeft left = awaitOnResults(*this);
            if (left == ResultsLeft::Leave) return;
            askedAgain = false;
            if (left == ResultsLeft::NewSearch) break;
        }
    }
}
