#pragma once
#include <vector>

#include "console/ScreenCell.h"

// What the console window shows of the virtual console, cell by cell, so that
// each frame reaches the console as the changed stretch of each row. Plain
// C++ so that it is tested on every system.
class ConsoleViewCells {
public:
    // Cells [firstColumn, firstColumn + length) of one window row.
    struct ChangedRun {
        int row = 0;
        int firstColumn = 0;
        int length = 0;
        bool operator==(const ChangedRun&) const = default;
    };

    // Takes the window's share of the frame (viewRows x viewColumns from
    // viewTop/viewLeft; cells beyond the buffer are blank) and returns, per row,
    // the stretch from the first to the last changed cell. After forget() or a
    // change of the window's shape every row is returned whole.
    std::vector<ChangedRun> takeFrame(const FrameView& frame);

    // The window no longer shows what was last written (it moved, or someone
    // else wrote to it).
    void forget() { known = false; }

    ScreenCell cellAt(int row, int column) const;
    int rows() const { return rowCount; }
    int columns() const { return columnCount; }

    // The cursor in window coordinates, kept inside the window.
    static void cursorInView(const FrameView& frame, int& row, int& column);

private:
    int rowCount = 0;
    int columnCount = 0;
    bool known = false;
    std::vector<ScreenCell> shown;
};
