#include "platform/windows/ConsoleViewCells.h"

#include <algorithm>
#include <cstddef>

namespace {

constexpr ScreenCell OUTSIDE_BUFFER{' ', 7};

ScreenCell frameCell(const FrameView& frame, int viewRow, int viewColumn) {
    const long long row = static_cast<long long>(frame.viewTop) + viewRow;
    const long long column = static_cast<long long>(frame.viewLeft) + viewColumn;
    if (frame.cells == nullptr || row < 0 || row >= frame.bufferHeight || column < 0 || column >= frame.bufferWidth)
        return OUTSIDE_BUFFER;
    return frame.cells[row * frame.bufferWidth + column];
}

}  // namespace

std::vector<ConsoleViewCells::ChangedRun> ConsoleViewCells::takeFrame(const FrameView& frame) {
    std::vector<ChangedRun> runs;
    const int rows = std::max(0, frame.viewRows);
    const int columns = std::max(0, frame.viewColumns);
    if (rows != rowCount || columns != columnCount) {
        rowCount = rows;
        columnCount = columns;
        shown.assign(static_cast<std::size_t>(rows) * columns, OUTSIDE_BUFFER);
        known = false;
    }
    for (int row = 0; row < rowCount; ++row) {
        int first = -1;
        int last = -1;
        for (int column = 0; column < columnCount; ++column) {
            const ScreenCell wanted = frameCell(frame, row, column);
            ScreenCell& cell = shown[static_cast<std::size_t>(row) * columnCount + column];
            if (known && cell == wanted) continue;
            cell = wanted;
            if (first < 0) first = column;
            last = column;
        }
        if (first >= 0) runs.push_back({row, first, last - first + 1});
    }
    known = true;
    return runs;
}

ScreenCell ConsoleViewCells::cellAt(int row, int column) const {
    if (row < 0 || row >= rowCount || column < 0 || column >= columnCount) return OUTSIDE_BUFFER;
    return shown[static_cast<std::size_t>(row) * columnCount + column];
}

void ConsoleViewCells::cursorInView(const FrameView& frame, int& row, int& column) {
    const long long viewRow = static_cast<long long>(frame.cursorRow) - frame.viewTop;
    const long long viewColumn = static_cast<long long>(frame.cursorColumn) - frame.viewLeft;
    row = static_cast<int>(std::clamp<long long>(viewRow, 0, std::max(0, frame.viewRows - 1)));
    column = static_cast<int>(std::clamp<long long>(viewColumn, 0, std::max(0, frame.viewColumns - 1)));
}
