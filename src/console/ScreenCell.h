#pragma once
#include <cstdint>

#include "console/Colors.h"

// One character cell of the virtual console: a byte in code page 850 and a
// console attribute (foreground + 16 * background, as on the Windows console).
struct ScreenCell {
    std::uint8_t character = ' ';
    std::uint8_t attribute = colors::DEFAULT_ATTRIBUTE;
    bool operator==(const ScreenCell&) const = default;
};

// The part of the screen buffer that is to be shown on the terminal: rows
// viewTop.. and columns viewLeft.. of a buffer of bufferWidth columns.
struct FrameView {
    const ScreenCell* cells = nullptr;  // row-major, bufferWidth cells per row
    int bufferWidth = 0;
    int bufferHeight = 0;
    int viewTop = 0;
    int viewLeft = 0;
    int viewRows = 0;     // terminal rows to fill
    int viewColumns = 0;  // terminal columns to fill
    int cursorRow = 0;    // buffer coordinates
    int cursorColumn = 0;
};
