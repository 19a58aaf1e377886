#include <iostream>

#include "support/AppFixture.h"
#include "support/ScreenSnapshot.h"

namespace {

class MainMenuTest : public AppFixture {};
class SubMenuTest : public AppFixture {};

TEST_F(MainMenuTest, DrawsTheMainScreenWithoutAKey) {
    scripted::typeKey(27);
    app->runMainMenu();
    EXPECT_EQ(snapshot::compare("main_menu", snapshot::render(*app)), "");
    EXPECT_EQ(app->cursorRow(), 20);
    EXPECT_EQ(app->cursorColumn(), 35);
    EXPECT_EQ(attributeAt(10, 30), 14);
    EXPECT_EQ(attributeAt(2, 8), 15);
    EXPECT_EQ(app->menuEntryCount, 2);
}

TEST_F(MainMenuTest, OtherKeysChangeNothing) {
    scripted::typeKeys("3456789aZ \r");
    scripted::typeF1();
    scripted::typeF2();
    scripted::typeKey(27);
    app->runMainMenu();
    EXPECT_EQ(snapshot::compare("main_menu", snapshot::render(*app)), "");
    EXPECT_TRUE(scripted::state().keys.empty());
}

TEST_F(MainMenuTest, RedrawKeyDrawsTheScreenAgain) {
    scripted::typeKey('@');
    scripted::typeKey(27);
    scripted::state().onSleep = nullptr;
    app->setCursor(30, 0);
    std::cout << "weg";
    app->runMainMenu();
    EXPECT_EQ(trimmedRow(30), "");
}

TEST_F(MainMenuTest, EscapeInASubMenuReturnsToTheMainScreen) {
    scripted::typeKeys("1\x1b");
    scripted::typeKeys("2\x1b\x1b");
    app->runMainMenu();
    EXPECT_EQ(snapshot::compare("main_menu", snapshot::render(*app)), "");
    EXPECT_TRUE(scripted::state().keys.empty());
    EXPECT_EQ(scripted::state().keysReadAfterScriptEnd, 0);
}

TEST_F(MainMenuTest, MenuEntryListHoldsAtMostTenEntries) {
    app->clearMenu();
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(app->addMenuEntry("e" + std::to_string(i)));
    EXPECT_FALSE(app->addMenuEntry("elf"));
    EXPECT_EQ(app->menuEntryCount, 10);
    EXPECT_EQ(app->menuEntries[9], "e9");
    app->clearMenu();
    EXPECT_EQ(app->menuEntryCount, 0);
    EXPECT_EQ(app->menuEntries[9], "");
    app->clearScreen();
    app->drawMenu();
    for (int row = 0; row < 49; ++row) EXPECT_EQ(trimmedRow(row), "");
}

TEST_F(SubMenuTest, LibraryMenuScreen) {
    scripted::typeKey(27);
    EXPECT_EQ(app->libraryMenu(), '@');
    EXPECT_EQ(snapshot::compare("library_menu", snapshot::render(*app)), "");
    EXPECT_EQ(app->cursorRow(), 25);
    EXPECT_EQ(app->cursorColumn(), 35);
}

TEST_F(SubMenuTest, RentalMenuScreenIgnoresFive) {
    scripted::typeKeys("5067xZ \r@");
    scripted::typeF1();
    scripted::typeKey(27);
    EXPECT_EQ(app->rentalMenu(), '@');
    EXPECT_EQ(snapshot::compare("rental_menu", snapshot::render(*app)), "");
    EXPECT_TRUE(scripted::state().keys.empty());
}

}  // namespace
