#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/TerminalRenderer.h"

// What the renderer sends for small changes: every refresh may go down a
// serial line or an ssh connection, so it must stay small. (That what it sends
// shows the buffer is checked against a terminal emulator.)
namespace {

class TerminalRendererOutput : public ::testing::Test {
protected:
    static constexpr int ROWS = 49;
    static constexpr int COLUMNS = 80;
    std::vector<ScreenCell> cells = std::vector<ScreenCell>(ROWS * COLUMNS, ScreenCell{' ', 14});
    int cursorRow = 20;
    int cursorColumn = 35;
    TerminalRenderer renderer;

    ScreenCell& at(int row, int column) { return cells[row * COLUMNS + column]; }
    std::string render(int viewRows = ROWS, int viewColumns = COLUMNS) {
        return renderer.render(FrameView{cells.data(), COLUMNS, ROWS, 0, 0, viewRows, viewColumns, cursorRow, cursorColumn});
    }
    void SetUp() override { render(); }
};

TEST_F(TerminalRendererOutput, CursorMovesAndTypingSendTheShortestSequence) {
    EXPECT_EQ(render(), "") << "unchanged frame";
    cursorRow = 12, cursorColumn = 0;
    EXPECT_EQ(render(), "\x1b[13H");
    cursorColumn = 40;
    EXPECT_EQ(render(), "\x1b[40C");
    cursorColumn = 43;
    EXPECT_EQ(render(), "   ") << "three blanks in the current colour are cheaper than a jump";
    cursorColumn = 41;
    EXPECT_EQ(render(), "\x1b[2D");
    at(12, 41) = {'a', 14};
    cursorColumn = 42;
    EXPECT_EQ(render(), "a") << "a character typed at the cursor";
    at(12, 41) = {' ', 14};
    cursorColumn = 41;
    EXPECT_EQ(render(), "\x1b[D \x1b[D") << "Backspace";
}

TEST_F(TerminalRendererOutput, OnlyChangedCellsAndColoursAreSentAndTheCursorReturns) {
    at(10, 30) = {'1', 14};
    EXPECT_EQ(render(), "\x1b[11;31H1\x1b[21;36H");
    at(2, 8) = {'D', 15};
    at(2, 9) = {'V', 15};
    at(2, 10) = {'D', 0x1F};
    at(2, 11) = {'!', 0x1F};
    EXPECT_EQ(render(), "\x1b[3;9H\x1b[97mDV\x1b[44mD!\x1b[21;36H");
    cursorRow = 48, cursorColumn = 79;
    EXPECT_EQ(render(24, 40).substr(0, 7), "\x1b[H\x1b[0;") << "a new size repaints from a reset colour";
    EXPECT_EQ(render(24, 40), "") << "the cursor stays clamped into the view";
    renderer.invalidate();
    EXPECT_GE(render(24, 40).size(), 24u * 40u);
}

}  // namespace
