#include "console/TerminalRenderer.h"

#include <algorithm>

#include "console/Colors.h"
#include "console/Cp850.h"

namespace {

constexpr ScreenCell kOutsideBuffer{' ', colors::DEFAULT_ATTRIBUTE};

// The console numbers its colours blue, green, red from bit 0; SGR runs red, green, blue.
int sgrColourOffset(int consoleColour) {
    return ((consoleColour & 1) << 2) | (consoleColour & 2) | ((consoleColour & 4) >> 2);
}

// Bright colours use 90-97 / 100-107 rather than bold, so no other attribute is ever set.
int foregroundSgr(int attribute) {
    const int colour = colors::foregroundOf(attribute);
    return ((colour & colors::BRIGHT) ? 90 : 30) + sgrColourOffset(colour);
}

int backgroundSgr(int attribute) {
    const int colour = colors::backgroundOf(attribute);
    return ((colour & colors::BRIGHT) ? 100 : 40) + sgrColourOffset(colour);
}

// CUP with its default parameters left out: ESC[H is the top left cell.
std::string cursorPosition(int row, int column) {
    std::string sequence = "\x1b[";
    if (row > 0) sequence += std::to_string(row + 1);
    if (column > 0) {
        sequence += ';';
        sequence += std::to_string(column + 1);
    }
    sequence += 'H';
    return sequence;
}

// CUF or CUB within the row. Vertical moves always use CUP: relative ones
// would stop at a scrolling margin someone else may have left set.
std::string cursorAlongRow(int fromColumn, int toColumn) {
    const int distance = toColumn > fromColumn ? toColumn - fromColumn : fromColumn - toColumn;
    std::string sequence = "\x1b[";
    if (distance > 1) sequence += std::to_string(distance);
    sequence += toColumn > fromColumn ? 'C' : 'D';
    return sequence;
}

}  // namespace

std::string TerminalRenderer::render(const FrameView& frame) {
    std::string out;
    // Cells are kept only for the part of the terminal the buffer can fill,
    // so memory never follows the size a terminal claims; the rest is blanked.
    const int rows = std::min(frame.viewRows, frame.bufferHeight);
    const int columns = std::min(frame.viewColumns, frame.bufferWidth);
    if (rows <= 0 || columns <= 0) {
        rows_ = 0;
        columns_ = 0;
        invalidate();
        return out;
    }
    if (rows != rows_ || columns != columns_ || frame.viewRows != viewRows_ || frame.viewColumns != viewColumns_) {
        rows_ = rows;
        columns_ = columns;
        viewRows_ = frame.viewRows;
        viewColumns_ = frame.viewColumns;
        shown_.assign(static_cast<std::size_t>(rows_) * columns_, ScreenCell{});
        invalidate();
    }
    collectWantedCells(frame);

    if (!contentsKnown_) blankBeyondTheBuffer(out);
    for (int row = 0; row < rows_; ++row) {
        for (int column = 0; column < columns_; ++column) {
            const std::size_t index = static_cast<std::size_t>(row) * columns_ + column;
            if (!contentsKnown_ || wanted_[index] != shown_[index]) drawCell(out, row, column);
        }
    }
    contentsKnown_ = true;

    const long long cursorRow = static_cast<long long>(frame.cursorRow) - frame.viewTop;
    const long long cursorColumn = static_cast<long long>(frame.cursorColumn) - frame.viewLeft;
    moveCursor(out, static_cast<int>(std::clamp<long long>(cursorRow, 0, rows_ - 1)),
               static_cast<int>(std::clamp<long long>(cursorColumn, 0, columns_ - 1)));
    return out;
}

// Erase to the end of each row and below the last: a few bytes for any size.
void TerminalRenderer::blankBeyondTheBuffer(std::string& out) {
    if (columns_ < viewColumns_) {
        for (int row = 0; row < rows_; ++row) {
            out += cursorPosition(row, columns_);
            setAttribute(out, kOutsideBuffer.attribute);
            out += "\x1b[K";
        }
    }
    if (rows_ < viewRows_) {
        out += cursorPosition(rows_, 0);
        setAttribute(out, kOutsideBuffer.attribute);
        out += "\x1b[J";
    }
    cursorRow_ = kUnknown;
    cursorColumn_ = kUnknown;
}

void TerminalRenderer::invalidate() {
    contentsKnown_ = false;
    attribute_ = kUnknown;
    cursorRow_ = kUnknown;
    cursorColumn_ = kUnknown;
}

void TerminalRenderer::collectWantedCells(const FrameView& frame) {
    wanted_.resize(static_cast<std::size_t>(rows_) * columns_);
    for (int row = 0; row < rows_; ++row) {
        const long long bufferRow = static_cast<long long>(frame.viewTop) + row;
        const bool rowInBuffer = frame.cells != nullptr && bufferRow >= 0 && bufferRow < frame.bufferHeight;
        for (int column = 0; column < columns_; ++column) {
            const long long bufferColumn = static_cast<long long>(frame.viewLeft) + column;
            const bool inBuffer = rowInBuffer && bufferColumn >= 0 && bufferColumn < frame.bufferWidth;
            wanted_[static_cast<std::size_t>(row) * columns_ + column] =
                inBuffer ? frame.cells[bufferRow * frame.bufferWidth + bufferColumn] : kOutsideBuffer;
        }
    }
}

void TerminalRenderer::drawCell(std::string& out, int row, int column) {
    const std::size_t index = static_cast<std::size_t>(row) * columns_ + column;
    const ScreenCell& cell = wanted_[index];
    moveCursor(out, row, column);
    setAttribute(out, cell.attribute);
    cp850::appendGlyph(out, cell.character, glyphs_);
    shown_[index] = cell;
    if (column + 1 < columns_) {
        cursorColumn_ = column + 1;
    } else {
        // Terminals disagree on where the cursor rests after the last column
        // (autowrap off, pending wrap, or wrapped), so the next move is absolute.
        cursorRow_ = kUnknown;
        cursorColumn_ = kUnknown;
    }
}

void TerminalRenderer::moveCursor(std::string& out, int row, int column) {
    if (cursorRow_ == row && cursorColumn_ == column) return;
    std::string cheapest = cursorPosition(row, column);
    if (cursorRow_ == row && cursorColumn_ != kUnknown) {
        std::string alongRow = cursorAlongRow(cursorColumn_, column);
        if (alongRow.size() < cheapest.size()) cheapest = std::move(alongRow);

        // A short run of unchanged cells in the current colour costs less to
        // write again than any jump over it.
        std::string rewrite;
        bool rewritable = contentsKnown_ && cursorColumn_ < column;
        for (int gap = cursorColumn_; rewritable && gap < column; ++gap) {
            const ScreenCell& cell = shown_[static_cast<std::size_t>(row) * columns_ + gap];
            cp850::appendGlyph(rewrite, cell.character, glyphs_);
            rewritable = cell.attribute == attribute_ && rewrite.size() < cheapest.size();
        }
        if (rewritable) cheapest = std::move(rewrite);
    }
    out += cheapest;
    cursorRow_ = row;
    cursorColumn_ = column;
}

void TerminalRenderer::setAttribute(std::string& out, std::uint8_t attribute) {
    if (attribute_ == attribute) return;
    out += "\x1b[";
    if (attribute_ == kUnknown) {
        // The 0 clears bold, reverse and the like that someone else may have left set.
        out += "0;" + std::to_string(foregroundSgr(attribute)) + ';' + std::to_string(backgroundSgr(attribute));
    } else {
        const bool foregroundChanges = colors::foregroundOf(attribute_) != colors::foregroundOf(attribute);
        const bool backgroundChanges = colors::backgroundOf(attribute_) != colors::backgroundOf(attribute);
        if (foregroundChanges) out += std::to_string(foregroundSgr(attribute));
        if (foregroundChanges && backgroundChanges) out += ';';
        if (backgroundChanges) out += std::to_string(backgroundSgr(attribute));
    }
    out += 'm';
    attribute_ = attribute;
}

std::string PlainTextRenderer::render(const FrameView& frame) {
    std::string out;
    const int rows = frame.cells != nullptr ? frame.bufferHeight : 0;
    // Rows below a buffer that shrank are gone, not blanked.
    shownRows_.resize(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        const ScreenCell* cells = frame.cells + static_cast<std::size_t>(row) * frame.bufferWidth;
        std::string text;
        for (int column = 0; column < frame.bufferWidth; ++column) text.push_back(static_cast<char>(cells[column].character));
        text.erase(text.find_last_not_of(' ') + 1);
        std::string& shown = shownRows_[static_cast<std::size_t>(row)];
        if (text == shown) continue;
        for (unsigned char byte : text) cp850::appendGlyph(out, byte, glyphs_);
        out += '\n';
        shown = std::move(text);
    }
    return out;
}
