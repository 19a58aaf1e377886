#include <iostream>

#include "app/DvdApplication.h"
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
            (this->*dialogs[state - '1'])();
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
