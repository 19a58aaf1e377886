#include "app/DvdApplication.h"

#include <iostream>
#include <iterator>
#include <span>

#include "app/DialogSupport.h"
#include "app/ListView.h"
#include "console/Colors.h"
#include "console/InputField.h"
#include "console/Keys.h"
#include "storage/LockWait.h"

DvdApplication::DvdApplication()
    : menuEntryCount(0),
      menuLabels{"Neue DVD hinzufuegen", "DVD loeschen", "DVD suchen", "DVD anzeigen", "DVD - Liste drucken",
                 "DVD ausleihen", "DVD retour", "Ausgeliehene DVD's anzeigen", "DVD - Liste drucken"} {
    // A wait for another program's lock keeps the keys typed meanwhile, as a message's pause does.
    storage::setLockPause([this](std::chrono::milliseconds duration) { pause(static_cast<int>(duration.count())); });
}

DvdApplication::~DvdApplication() { storage::setLockPause({}); }

std::string DvdApplication::readField(int maxLength, int row, int column) {
    return readInputField(*this, maxLength, row, column);
}

namespace {

const char* const mainMenuLabels[2] = {"DVD Bibliothek", "DVD Verleih"};

constexpr int MENU_NUMBER_COLUMN = 30;
constexpr int MENU_FIRST_ROW = 10;

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

// The sub-menus, one entry a row: its dialog and where it shows a lock wait;
// the entry's text is the menu label of the same place (menuLabels).
struct MenuEntry {
    void (DvdApplication::*dialog)();
    WaitNoticePlace waitNotice;
};
struct SubMenu {
    void (TitledScreen::*drawHeading)();
    int firstLabel;
    std::span<const MenuEntry> entries;
};
constexpr MenuEntry LIBRARY_ENTRIES[] = {
    {&DvdApplication::newDvdForm, NO_WAIT_NOTICE},     {&DvdApplication::deleteDvdDialog, NO_WAIT_NOTICE},
    {&DvdApplication::searchByGenre, NO_WAIT_NOTICE},  {&DvdApplication::listLibrary, LIST_WAIT_NOTICE},
    {&DvdApplication::printLibrary, PRINT_WAIT_NOTICE},
};
constexpr MenuEntry RENTAL_ENTRIES[] = {
    {&DvdApplication::lendDvdForm, NO_WAIT_NOTICE},  {&DvdApplication::returnDvdDialog, NO_WAIT_NOTICE},
    {&DvdApplication::listRentals, LIST_WAIT_NOTICE}, {&DvdApplication::printRentals, PRINT_WAIT_NOTICE},
};
constexpr SubMenu LIBRARY_MENU{&TitledScreen::drawLibraryHeading, 0, LIBRARY_ENTRIES};
constexpr SubMenu RENTAL_MENU{&TitledScreen::drawRentalHeading, static_cast<int>(std::size(LIBRARY_ENTRIES)), RENTAL_ENTRIES};

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

namespace {

void drawSubMenu(DvdApplication& application, const SubMenu& menu) {
    application.clearMenu();
    application.clearScreen();
    (application.*menu.drawHeading)();
    application.setColor(colors::YELLOW, colors::BLACK);
    for (int i = 0; i < static_cast<int>(menu.entries.size()); ++i) {
        application.addMenuEntry(application.menuLabels[menu.firstLabel + i]);
        application.setCursor(MENU_FIRST_ROW + 2 * i, MENU_NUMBER_COLUMN);
        std::cout << i + 1;
    }
    application.drawMenu();
    application.setCursor(25, 30);
    std::cout << "Wahl:";
}

int runSubMenu(DvdApplication& application, const SubMenu& menu) {
    const int entryCount = static_cast<int>(menu.entries.size());
    int state = DvdApplication::REDRAW;
    for (;;) {
        if (state != DvdApplication::REDRAW) state = readMenuKey(application);
        if (state >= '1' && state < '1' + entryCount) {
            application.clearScreen();
            const MenuEntry& entry = menu.entries[static_cast<std::size_t>(state - '1')];
            if (entry.waitNotice.row == NO_WAIT_NOTICE.row) {
                (application.*entry.dialog)();
            } else {
                withLockWaitNotice(application, entry.waitNotice.row, entry.waitNotice.column,
                                   [&] { (application.*entry.dialog)(); });
            }
            state = DvdApplication::REDRAW;
        }
        if (state == DvdApplication::REDRAW) {
            drawSubMenu(application, menu);
            state = 0;
        } else if (state == keys::ESCAPE) {
            return DvdApplication::REDRAW;
        }
    }
}

}  // namespace

int DvdApplication::libraryMenu() { return runSubMenu(*this, LIBRARY_MENU); }

int DvdApplication::rentalMenu() { return runSubMenu(*this, RENTAL_MENU); }
