#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/windows/ConsoleViewCells.h"

// The Windows console's copy of what its window shows: which cells a frame
// changes, the view into the buffer and the cursor in it.
namespace {

using Runs = std::vector<ConsoleViewCells::ChangedRun>;

struct Buffer {
    explicit Buffer(int rows) : rows(rows), cells(static_cast<size_t>(rows) * 80, ScreenCell{' ', 7}) {}
    ScreenCell& at(int row, int column) { return cells[static_cast<size_t>(row) * 80 + column]; }
    FrameView view(int windowRows, int windowColumns, int top = 0) const {
        return FrameView{cells.data(), 80, rows, top, 0, windowRows, windowColumns, 0, 0};
    }
    int rows;
    std::vector<ScreenCell> cells;
};

Runs wholeRows(int rows, int columns) {
    Runs runs;
    for (int row = 0; row < rows; ++row) runs.push_back({row, 0, columns});
    return runs;
}

TEST(ConsoleViewCells, OnlyTheStretchFromTheFirstToTheLastChangeOfARowIsWritten) {
    Buffer buffer(49);
    ConsoleViewCells view;
    EXPECT_EQ(view.takeFrame(buffer.view(49, 80)), wholeRows(49, 80));
    EXPECT_TRUE(view.takeFrame(buffer.view(49, 80)).empty());
    buffer.at(2, 32) = {'A', 7};
    buffer.at(2, 34) = {'C', 7};
    buffer.at(10, 0).attribute = 12;  // a change of colour alone counts
    EXPECT_EQ(view.takeFrame(buffer.view(49, 80)), (Runs{{2, 32, 3}, {10, 0, 1}}));
    EXPECT_EQ(view.cellAt(10, 0), (ScreenCell{' ', 12}));
    view.forget();
    EXPECT_EQ(view.takeFrame(buffer.view(49, 80)), wholeRows(49, 80));
    EXPECT_EQ(view.takeFrame(buffer.view(25, 80)), wholeRows(25, 80));  // a new window shape
}

TEST(ConsoleViewCells, TheWindowShowsTheViewBlanksBeyondTheBufferAndHoldsTheCursor) {
    Buffer buffer(60);
    buffer.at(30, 5) = {'L', 14};
    buffer.at(59, 79) = {'E', 15};
    ConsoleViewCells view;
    view.takeFrame(buffer.view(31, 100, 30));  // wider than the buffer, reaching below it
    EXPECT_EQ(view.cellAt(0, 5), (ScreenCell{'L', 14}));
    EXPECT_EQ(view.cellAt(29, 79), (ScreenCell{'E', 15}));
    EXPECT_EQ(view.cellAt(29, 80), (ScreenCell{' ', 7}));
    EXPECT_EQ(view.cellAt(30, 0), (ScreenCell{' ', 7}));
    FrameView frame = buffer.view(20, 80, 40);
    for (const auto& [cursorRow, cursorColumn, row, column] : {std::array{45, 12, 5, 12}, {99, 90, 19, 79}, {0, 3, 0, 3}}) {
        frame.cursorRow = cursorRow;
        frame.cursorColumn = cursorColumn;
        int shownRow = -1, shownColumn = -1;
        ConsoleViewCells::cursorInView(frame, shownRow, shownColumn);
        EXPECT_EQ(std::make_pair(shownRow, shownColumn), std::make_pair(row, column)) << cursorRow << "," << cursorColumn;
    }
}

}  // namespace
