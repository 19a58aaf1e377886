#include "app/ListColumns.h"

#include <array>
#include <iostream>
#include <string>
#include <vector>

#include "app/DialogSupport.h"
#include "app/DvdApplication.h"
#include "app/ListPrintout.h"
#include "app/ListView.h"
#include "app/TitleCompletion.h"
#include "console/Colors.h"
#include "console/InputField.h"
#include "console/Keys.h"
#include "library/DvdLibrary.h"
#include "library/LibraryRecord.h"

namespace {
// 'b' (bearbeiten) corrects a record; the list is read again afterwards.
constexpr char LIST_KEYS[] = {DvdApplication::EDIT, '\0'};
}

void DvdApplication::listLibrary() {
    ListFilter filter;
    for (;;) {
        library.clear();
        library.load();
        clearScreen();
        const int key = runListScreen(*this, listOf(library, [this] { drawLibraryListHeading(); }), filter, LIST_KEYS);
        if (key != EDIT) return;
        editDvdDialog();
    }
}

void DvdApplication::printLibrary() {
    // Read as the list screen reads it: bounded, and only from a regular file.
    library.clear();
    library.load();
    printList(*this, printedList(library));
}

namespace {

constexpr int KEY_SEARCH_AGAIN = keys::CTRL_A;
// On the results: '@' asks for a new film type, Ctrl+A searches again, 'b'
// corrects a record and shows the results again.
constexpr char RESULT_KEYS[] = {DvdApplication::REDRAW, KEY_SEARCH_AGAIN, DvdApplication::EDIT, '\0'};

}  // namespace

void DvdApplication::searchByGenre() {
    library.clear();
    withLockWaitNotice(*this, 20, 30, [this] { return library.load(); });
    std::string searchText;
    for (bool askedAgain = false;;) {
        clearScreen();
        drawSearchHeading();
        setColor(colors::YELLOW, colors::BLACK);
        setCursor(10, 15);
        std::cout << "Zu suchende Film Art eingeben:";
        // After "none found", Ctrl+A as the first key searches again with the same type.
        const int filmTypeLength = library_record::FIELDS[library_record::GENRE].length;
        FieldEntry entry = enterField(
            *this, 20, 10, 48,
            {.ctrlARepeats = askedAgain, .complete = completion::libraryFilmTypes({*this, 20, 30, filmTypeLength})});
        if (!entry.repeatWanted) searchText = std::move(entry.text);
        if (searchText == "escape") return;
        // Kept while the same search is repeated; a new search starts without it.
        ListFilter filter;
        for (;;) {
            clearScreen();
            std::vector<int> hits;
            for (int i = 0; i < library.recordCount(); ++i)
                if (library.getGenre(i) == searchText) hits.push_back(i);
            const ListContent results = listOf(library, [this] { drawSearchResultHeading(); }, &hits);
            if (hits.empty()) {
                drawList(*this, results);
                // Keys typed meanwhile go to the prompt asked again.
                dialog::showMessage(*this, 20, 30,
                                    library.wasLocked() ? dialog::FILE_LOCKED : "KEINE FILME DIESER ART GEFUNDEN!");
                askedAgain = true;
                break;
            }
            const int key = runListScreen(*this, results, filter, RESULT_KEYS);
            if (key == keys::ESCAPE) return;
            askedAgain = false;
            if (key == REDRAW) break;
            if (key == EDIT) {
                editDvdDialog(searchText);
                library.clear();
                withLockWaitNotice(*this, 20, 30, [this] { return library.load(); });
            }
        }
    }
}

