#include <gtest/gtest.h>

#include <vector>

#include "console/windows/ConsoleViewCells.h"

namespace {

using ChangedRun = ConsoleViewCells::ChangedRun;

// A buffer of `rows` x 80 cells of one character and colour, shown in a window
// of the given size from its top left corner.
struct Buffer {
    Buffer(int rows, char character, std::uint8_t attribute)
        : rowCount(rows), cells(static_cast<size_t>(rows) * 80, ScreenCell{static_cast<std::uint8_t>(character), attribute}) {}

    ScreenCell& at(int row, int column) { return cells[static_cast<size_t>(row) * 80 + column]; }

    FrameView view(int windowRows, int windowColumns, int top = 0, int left = 0) const {
        FrameView frame;
        frame.cells = cells.data();
        frame.bufferWidth = 80;
        frame.bufferHeight = rowCount;
        frame.viewTop = top;
        frame.viewLeft = left;
        frame.viewRows = windowRows;
        frame.viewColumns = windowColumns;
        return frame;
    }

    int rowCount;
    std::vector<ScreenCell> cells;
};

std::vector<ChangedRun> wholeRows(int rows, int columns) {
    std::vector<ChangedRun> runs;
    for (int row = 0; row < rows; ++row) runs.push_back({row, 0, columns});
    return runs;
}

TEST(ConsoleViewCells, TheFirstFrameIsWrittenWholeAndAnUnchangedOneNotAtAll) {
    Buffer buffer(49, 'x', 14);
    ConsoleViewCells view;
    EXPECT_EQ(view.takeFrame(buffer.view(49, 80)), wholeRows(49, 80));
    EXPECT_EQ(view.cellAt(48, 79), (ScreenCell{'x', 14}));
    EXPECT_TRUE(view.takeFrame(buffer.view(49, 80)).empty());
}

TEST(ConsoleViewCells, EachRowGivesTheStretchFromItsFirstToItsLastChange) {
    Buffer buffer(49, ' ', 7);
    ConsoleViewCells view;
    view.takeFrame(buffer.view(49, 80));
    buffer.at(2, 32) = {'A', 7};
    buffer.at(2, 34) = {'C', 7};
    buffer.at(10, 0).attribute = 12;  // a change of colour alone counts
    EXPECT_EQ(view.takeFrame(buffer.view(49, 80)), (std::vector<ChangedRun>{{2, 32, 3}, {10, 0, 1}}));
    EXPECT_EQ(view.cellAt(2, 33), (ScreenCell{' ', 7}));
    EXPECT_EQ(view.cellAt(10, 0), (ScreenCell{' ', 12}));
}

TEST(ConsoleViewCells, AfterForgetOrANewWindowShapeEverythingIsWrittenAgain) {
    Buffer buffer(49, '.', 7);
    ConsoleViewCells view;
    view.takeFrame(buffer.view(49, 80));
    view.forget();
    EXPECT_EQ(view.takeFrame(buffer.view(49, 80)), wholeRows(49, 80));
    EXPECT_EQ(view.takeFrame(buffer.view(25, 80)), wholeRows(25, 80));
    EXPECT_EQ(view.rows(), 25);
}

TEST(ConsoleViewCells, TheWindowShowsTheViewAndBlanksBeyondTheBuffer) {
    Buffer buffer(60, ' ', 7);
    buffer.at(30, 5) = {'L', 14};
    buffer.at(59, 79) = {'E', 15};
    ConsoleViewCells view;
    // A window wider than the buffer and reaching below its last row.
    view.takeFrame(buffer.view(31, 100, 30, 0));
    EXPECT_EQ(view.cellAt(0, 5), (ScreenCell{'L', 14}));
    EXPECT_EQ(view.cellAt(29, 79), (ScreenCell{'E', 15}));
    EXPECT_EQ(view.cellAt(29, 80), (ScreenCell{' ', 7}));
    EXPECT_EQ(view.cellAt(30, 0), (ScreenCell{' ', 7}));
}

TEST(ConsoleViewCells, TheCursorIsPlacedRelativeToTheViewAndKeptInsideTheWindow) {
    Buffer buffer(100, ' ', 7);
    FrameView frame = buffer.view(49, 80, 40, 0);
    int row = -1;
    int column = -1;
    frame.cursorRow = 45;
    frame.cursorColumn = 12;
    ConsoleViewCells::cursorInView(frame, row, column);
    EXPECT_EQ(row, 5);
    EXPECT_EQ(column, 12);
    frame.cursorRow = 99;
    frame.cursorColumn = 90;
    ConsoleViewCells::cursorInView(frame, row, column);
    EXPECT_EQ(row, 48);
    EXPECT_EQ(column, 79);
    frame.cursorRow = 0;
    ConsoleViewCells::cursorInView(frame, row, column);
    EXPECT_EQ(row, 0);
}

}  // namespace
