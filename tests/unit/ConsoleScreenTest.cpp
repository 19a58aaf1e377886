#include <gtest/gtest.h>

#include <iostream>

#include "console/ConsoleScreen.h"
#include "support/ScriptedPlatform.h"

namespace {

class ConsoleScreenTest : public ::testing::Test {
protected:
    void SetUp() override { scripted::reset(); }
};

TEST_F(ConsoleScreenTest, ColourIsForegroundPlusSixteenTimesBackground) {
    ConsoleScreen screen;
    for (auto [foreground, background, expected] : {std::tuple{14, 0, 14}, {15, 0, 15}, {12, 0, 12}, {15, 1, 31}}) {
        screen.setColor(foreground, background);
        EXPECT_EQ(screen.currentAttribute(), expected);
    }
    screen.setColor(15, 1);
    screen.setCursor(0, 0);
    std::cout << 'x';
    EXPECT_EQ(screen.cellAt(0, 0).attribute, 31);
}

TEST_F(ConsoleScreenTest, TextLandsAtTheCursorInTheColourInForce) {
    ConsoleScreen screen;
    screen.setColor(14, 0);
    screen.setCursor(2, 32);
    std::cout << "abc";
    EXPECT_EQ(screen.cellAt(2, 32).character, 'a');
    EXPECT_EQ(screen.cellAt(2, 34).character, 'c');
    EXPECT_EQ(screen.cellAt(2, 34).attribute, 14);
    EXPECT_EQ(screen.cursorRow(), 2);
    EXPECT_EQ(screen.cursorColumn(), 35);
    screen.setColor(12, 0);
    std::cout << 'd';
    EXPECT_EQ(screen.cellAt(2, 35).attribute, 12);
}

TEST_F(ConsoleScreenTest, WritingWrapsAtColumnEighty) {
    ConsoleScreen screen;
    screen.setCursor(5, 0);
    std::cout << std::string(80, '-');
    EXPECT_EQ(screen.cellAt(5, 79).character, '-');
    EXPECT_EQ(screen.cursorRow(), 6);
    EXPECT_EQ(screen.cursorColumn(), 0);
    std::cout << "ab";
    EXPECT_EQ(screen.cellAt(6, 1).character, 'b');
}

TEST_F(ConsoleScreenTest, LineEndGoesToTheStartOfTheNextRow) {
    ConsoleScreen screen;
    screen.setCursor(10, 32);
    std::cout << "Eintrag" << std::endl;
    EXPECT_EQ(screen.cursorRow(), 11);
    EXPECT_EQ(screen.cursorColumn(), 0);
}

TEST_F(ConsoleScreenTest, ControlBytesAreStoredAsCellsNotActedOn) {
    ConsoleScreen screen;
    screen.setCursor(3, 0);
    std::cout << "a\rb\tc\x1b" << '\0' << "d";
    EXPECT_EQ(screen.cellAt(3, 1).character, '\r');
    EXPECT_EQ(screen.cellAt(3, 3).character, '\t');
    EXPECT_EQ(screen.cellAt(3, 5).character, 0x1b);
    EXPECT_EQ(screen.cellAt(3, 6).character, 0);
    EXPECT_EQ(screen.cellAt(3, 7).character, 'd');
}

TEST_F(ConsoleScreenTest, RowsPastTheBufferExtendItAndClearShrinksItBack) {
    ConsoleScreen screen;
    EXPECT_EQ(screen.bufferRowCount(), 49);
    screen.setCursor(2009, 2);
    std::cout << "letzte";
    EXPECT_EQ(screen.bufferRowCount(), 2010);
    EXPECT_EQ(screen.cellAt(2009, 2).character, 'l');
    screen.setCursor(48, 79);
    std::cout << "xy";
    EXPECT_EQ(screen.cellAt(49, 0).character, 'y');
    screen.clearScreen();
    EXPECT_EQ(screen.bufferRowCount(), 49);
}

TEST_F(ConsoleScreenTest, PositionsOutsideTheWidthAreRefused) {
    ConsoleScreen screen;
    screen.setCursor(4, 7);
    screen.setCursor(4, 80);
    screen.setCursor(-1, 3);
    screen.setCursor(3, -2);
    EXPECT_EQ(screen.cursorRow(), 4);
    EXPECT_EQ(screen.cursorColumn(), 7);
}

TEST_F(ConsoleScreenTest, ClearBlanksInTheCurrentColourAndHomesTheCursor) {
    ConsoleScreen screen;
    screen.setCursor(7, 7);
    std::cout << "text";
    screen.setColor(14, 1);
    screen.clearScreen();
    EXPECT_EQ(screen.cursorRow(), 0);
    EXPECT_EQ(screen.cursorColumn(), 0);
    EXPECT_EQ(screen.cellAt(7, 7), (ScreenCell{' ', 30}));
    EXPECT_EQ(screen.cellAt(48, 79), (ScreenCell{' ', 30}));
}

TEST_F(ConsoleScreenTest, WindowSizeRequestAndBufferSize) {
    ConsoleScreen screen;
    EXPECT_EQ(screen.bufferWidth, 80);
    EXPECT_EQ(screen.bufferHeight, 49);
    screen.setWindowSize(79, 48);
    EXPECT_EQ(scripted::state().requestedSize.columns, 80);
    EXPECT_EQ(scripted::state().requestedSize.rows, 49);
    EXPECT_EQ(screen.bufferWidth, 80);
    EXPECT_EQ(screen.bufferHeight, 49);
    screen.setTitle("");
    EXPECT_EQ(scripted::state().title, "");
    screen.setTitle("DVD Verwaltung");
    EXPECT_EQ(scripted::state().title, "DVD Verwaltung");
}

// A file or a pipe gets what a user would read: before each wait the rows
// that changed, as lines of text in which no byte can drive a terminal.
TEST_F(ConsoleScreenTest, OutputThatIsNotATerminalGetsTheChangedRowsAsPlainText) {
    scripted::state().terminal = false;
    {
        ConsoleScreen screen;
        EXPECT_EQ(screen.bufferWidth, 0);
        EXPECT_EQ(screen.bufferHeight, 0);
        screen.setWindowSize(79, 48);
        EXPECT_EQ(screen.bufferWidth, 0);
        screen.setCursor(1, 0);
        std::cout << "Kopf   ";
        screen.setCursor(3, 3);
        std::cout << "Wahl:\xc4\x1b]2;x\x07\x9b";
        screen.setTitle("x");
        screen.keyWaiting();
        EXPECT_EQ(scripted::state().passedThrough, "Kopf\n   Wahl:─␛]2;x␇ø\n");
        screen.setCursor(3, 3);
        std::cout << "Ende!";
        screen.setCursor(1, 0);
        std::cout << "Kopf";
    }
    EXPECT_EQ(scripted::state().passedThrough,
              "Kopf\n   Wahl:─␛]2;x␇ø\n   Ende!─␛]2;x␇ø\n");
    EXPECT_EQ(scripted::state().title, "");
    EXPECT_EQ(scripted::state().presentCount, 0);
}

TEST_F(ConsoleScreenTest, TheTerminalIsUpdatedBeforeEveryWaitOnlyWhenSomethingChanged) {
    ConsoleScreen screen;
    scripted::typeKeys("ab");
    screen.readKey();
    const int afterFirstWait = scripted::state().presentCount;
    EXPECT_GE(afterFirstWait, 1);
    screen.readKey();
    EXPECT_EQ(scripted::state().presentCount, afterFirstWait);
    std::cout << 'x';
    screen.pause(2500);
    EXPECT_EQ(scripted::state().presentCount, afterFirstWait + 1);
    EXPECT_EQ(scripted::state().sleeps, std::vector<int>{2500});
}

TEST_F(ConsoleScreenTest, TheViewFollowsTheCursorUnlessScrolled) {
    scripted::state().size = {80, 24};
    ConsoleScreen screen;
    EXPECT_EQ(screen.visibleRowCount(), 24);
    screen.setCursor(30, 0);
    screen.refresh();
    EXPECT_EQ(screen.viewTopRow(), 7);
    screen.setCursor(2, 0);
    screen.refresh();
    EXPECT_EQ(screen.viewTopRow(), 2);
    screen.scrollViewTo(20);
    screen.setCursor(0, 0);
    screen.refresh();
    EXPECT_EQ(screen.viewTopRow(), 20);
    screen.scrollViewTo(1000);
    EXPECT_EQ(screen.viewTopRow(), 49 - 24);
    screen.clearScreen();
    EXPECT_EQ(screen.viewTopRow(), 0);
}

}  // namespace
