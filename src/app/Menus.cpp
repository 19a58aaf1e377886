#include <iostream>

#include "app/DvdApplication.h"
#include "app/ListView.h"
#include "app/LockWaitNotice.h"
#include "console/Colors.h"
#include "console/Keys.h"

namespace {

const char* const mainMenuLabels[2] = {"DVD Bibliothek", "DVD Verleih"};

constexpr int MENU_NUMBER_COLUMN = 30;
constexpr int MENU_FIRST_ROW = 10;
constexpr int LIBRARY_LABELS = 0;
constexpr int LIBRARY_ENTRIES = 5;
constexpr int RENTAL_LABELS = 5;
constexpr int RENTAL_ENTRIES = 4;

// Where an entry that reads a file without a notice of its own shows the
// wait for a lock: in the place of its "DATEI GESPERRT!". The dialogs show
// their own waits (row 0: none here).
struct WaitNoticePlace {
    int row;
    int column;
};
constexpr WaitNoticePlace NO_WAIT_NOTICE{0, 0};
constexpr WaitNoticePlace LIST_WAIT_NOTICE{LIST_NOTICE_ROW, LIST_NOTICE_COLUMN};
constexpr WaitNoticePlace PRINT_WAIT_NOTICE{20, 30};  // where printing shows its messages
// One per menu entry, in the order of the menu labels: library, then rental.
constexpr WaitNoticePlace WAIT_NOTICES[LIBRARY_ENTRIES + RENTAL_ENTRIES] = {
    NO_WAIT_NOTICE, NO_WAIT_NOTICE, NO_WAIT_NOTICE, LIST_WAIT_NOTICE, PRINT_WAIT_NOTICE,
    NO_WAIT_NOTICE, NO_WAIT_NOTICE, LIST_WAIT_NOTICE, PRINT_WAIT_NOTICE};

// The next key that has a character: an extended key chooses nothing.
int readMenuKey(ConsoleScreen& screen) {
    for (;;) {
        const keys::KeyPress key = keys::readKey(screen);
        if (!key.extended) return key.code;
    }
}

}  // namespace

void DvdApplication::clearMenu() {
    menuEntryCount = 0;
    for (std::string& entry : menuEntries) entry.clear();
}

bool DvdApplication::addMenuEntry(const std::string& text) {
    if (menuEntryCount >= MAX_MENU_ENTRIES) return false;
    menuEntries[menuEntryCount++] = text;
    return true;
}

void DvdApplication::drawMenu() {
    for (int i = 0; i < menuEntryCount; ++i) {
        setCursor(MENU_FIRST_ROW + 2 * i, 32);
        std::cout << menuEntries[i] << std::endl;
    }
}

void DvdApplication::drawMainScreen() {
    setColor(colors::YELLOW, colors::BLACK);
    clearMenu();
    clearScreen();
    drawBanner();
    for (int i = 0; i < 2; ++i) {
        setColor(colors::YELLOW, colors::BLACK);
        addMenuEntry(mainMenuLabels[i]);
        setCursor(MENU_FIRST_ROW + 2 * i, MENU_NUMBER_COLUMN);
        std::cout << i + 1;
    }
    drawMenu();
    setCursor(20, 30);
    std::cout << "Wahl:";
}

void DvdApplication::runMainMenu() {
    int state = REDRAW;
    for (;;) {
        if (state != REDRAW) state = readMenuKey(*this);
        if (state == '1') {
            state = libraryMenu();
        } else if (state == '2') {
            state = rentalMenu();
        } else if (state == REDRAW) {
            drawMainScreen();
            state = 0;
            continue;
        }
        if (state == keys::ESCAPE) return;
    }
}

void DvdApplication::drawSubMenu(int firstLabel, int entryCount, void (TitledScreen::*drawHeading)()) {
    clearMenu();
    clearScreen();
    (this->*drawHeading)();
    setColor(colors::YELLOW, colors::BLACK);
    for (int i = 0; i < entryCount; ++i) {
        addMenuEntry(menuLabels[firstLabel + i]);
        setCursor(MENU_FIRST_ROW + 2 * i, MENU_NUMBER_COLUMN);
        std::cout << i + 1;
    }
    drawMenu();
    setCursor(25, 30);
    std::cout << "Wahl:";
}

int DvdApplication::runSubMenu(int firstLabel, int entryCount, void (TitledScreen::*drawHeading)(),
                               void (DvdApplication::*const* dialogs)()) {
    int state = REDRAW;
    for (;;) {
        if (state != REDRAW) state = readMenuKey(*this);
        if (state >= '1' && state < '1' + entryCount) {
            clearScreen();
            const WaitNoticePlace notice = WAIT_NOTICES[firstLabel + state - '1'];
            if (notice.row == NO_WAIT_NOTICE.row) {
                (this->*dialogs[state - '1'])();
            } else {
                withLockWaitNotice(*this, notice.row, notice.column, [&] { (this->*dialogs[state - '1'])(); });
            }
            state = REDRAW;
        }
        if (state == REDRAW) {
            drawSubMenu(firstLabel, entryCount, drawHeading);
            state = 0;
        } else if (state == keys::ESCAPE) {
            return REDRAW;
        }
    }
}

int DvdApplication::libraryMenu() {
    static void (DvdApplication::*const dialogs[LIBRARY_ENTRIES])() = {
        &DvdApplication::newDvdForm, &DvdApplication::deleteDvdDialog, &DvdApplication::searchByGenre,
        &DvdApplication::listLibrary, &DvdApplication::printLibrary};
    return runSubMenu(LIBRARY_LABELS, LIBRARY_ENTRIES, &TitledScreen::drawLibraryHeading, dialogs);
}

int DvdApplication::rentalMenu() {
    static void (DvdApplication::*const dialogs[RENTAL_ENTRIES])() = {
        &DvdApplication::lendDvdForm, &DvdApplication::returnDvdDialog, &DvdApplication::listRentals,
        &DvdApplication::printRentals};
    return runSubMenu(RENTAL_LABELS, RENTAL_ENTRIES, &TitledScreen::drawRentalHeading, dialogs);
}
