#pragma once
#include "Terminal.h"

// Brings a freshly started program (in a directory with both files full) to
// one of the places where it waits for the operator, and returns once it is
// waiting there.
namespace bench {

constexpr const char* kLibraryMenuHeading = "DVD - Bibliothek";
constexpr const char* kRentalMenuHeading = "DVD - Verleih";

enum class Wait {
    MainMenu,
    SubMenu,         // the library menu
    InputField,      // "Film Art:" of the new-DVD form, empty
    SavePrompt,      // the new-DVD form with all four fields filled, at F1 / F2
    DeleteAfterStep, // a title not found: the message, with a key typed during it
    SearchResults,   // the search's hits shown (its state 2)
    ReturnAfterStep, // like the delete dialog
    LibraryList,
    RentalList,
};
constexpr Wait kEveryWait[] = {Wait::MainMenu,        Wait::SubMenu,       Wait::InputField,
                               Wait::SavePrompt,      Wait::DeleteAfterStep, Wait::SearchResults,
                               Wait::ReturnAfterStep, Wait::LibraryList,   Wait::RentalList};

const char* describe(Wait wait);
void bringTo(Terminal& session, Wait wait);

// Steps from the main menu, each waiting until its screen is complete.
void openLibraryMenu(Terminal& session);
void openRentalMenu(Terminal& session);
void openNewDvdForm(Terminal& session);  // from the library menu
void openLibraryList(Terminal& session); // from the library menu
void openRentalList(Terminal& session);  // from the rental menu

}  // namespace bench
