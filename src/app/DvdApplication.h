#pragma once
#include <optional>
#include <string>

#include "console/TitledScreen.h"
#include "library/DvdLibrary.h"
#include "rental/RentalRegister.h"

// The one object of the program: the screen it draws on, the menus, the
// dialogs and the two working copies of the data files.
class DvdApplication : public TitledScreen {
public:
    static constexpr int MAX_MENU_ENTRIES = 10;
    static constexpr int REDRAW = '@';
    static constexpr int EDIT = 'b';

    DvdApplication();
    ~DvdApplication();
    DvdApplication(const DvdApplication&) = delete;
    DvdApplication& operator=(const DvdApplication&) = delete;

    // The menu entry list of the menu on screen.
    void clearMenu();
    bool addMenuEntry(const std::string& text);
    void drawMenu();

    void runMainMenu();
    int libraryMenu();
    int rentalMenu();

    void newDvdForm();
    void deleteDvdDialog();
    // From the library list and the search result: one record corrected in
    // place, of the records of the list (those of its film type, for a result).
    void editDvdDialog(const std::optional<std::string>& filmTypeOfResult = std::nullopt);
    void searchByGenre();
    void listLibrary();
    void printLibrary();
    void lendDvdForm();
    void returnDvdDialog();
    void listRentals();
    void printRentals();

    std::string readField(int maxLength, int row, int column);

    std::string menuEntries[MAX_MENU_ENTRIES];
    int menuEntryCount;
    DvdLibrary library;
    RentalRegister rentals;
    const char* menuLabels[9];

private:
    void drawMainScreen();

};
