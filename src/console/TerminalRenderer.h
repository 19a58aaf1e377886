#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "console/ScreenCell.h"

// Turns frames of the virtual console into terminal output. It remembers what
// the terminal shows (cells, colour, cursor) so that each render carries only
// what changed; a terminal in an unknown state is repainted in full.
class TerminalRenderer {
public:
    // The escape sequences and UTF-8 text that bring the terminal from what it showed after the
    // previous render to `frame`: only changed cells, plus the cursor move. Empty when nothing changed.
    std::string render(const FrameView& frame);
    // The terminal's contents are unknown (resize, resume after Ctrl+Z, start): the next render
    // redraws every cell of the view.
    void invalidate();
    // A terminal in a set other than UTF-8: what each code page 850 byte is written as.
    // The table must outlive the renderer; nullptr goes back to UTF-8.
    void useGlyphs(const std::array<std::string, 256>* glyphs) { glyphs_ = glyphs; }

private:
    static constexpr int kUnknown = -1;

    void collectWantedCells(const FrameView& frame);
    void blankBeyondTheBuffer(std::string& out);
    void drawCell(std::string& out, int row, int column);
    void moveCursor(std::string& out, int row, int column);
    void setAttribute(std::string& out, std::uint8_t attribute);

    int rows_ = 0;
    int columns_ = 0;
    int viewRows_ = 0;  // the terminal's size, which may exceed rows_ x columns_
    int viewColumns_ = 0;
    bool contentsKnown_ = false;
    std::vector<ScreenCell> shown_;   // what the terminal shows, rows_ x columns_
    std::vector<ScreenCell> wanted_;  // the frame being rendered, same shape
    int attribute_ = kUnknown;        // the terminal's current colours
    int cursorRow_ = kUnknown;
    int cursorColumn_ = kUnknown;
    const std::array<std::string, 256>* glyphs_ = nullptr;
};

// Turns frames of the virtual console into plain text for an output that is
// not a terminal (a file, a pipe): the rows that changed since the previous
// render, one line each, trailing blanks cut, control bytes as the glyphs a
// terminal shows. No escape sequence, so a record cannot drive whatever
// reads the text later.
class PlainTextRenderer {
public:
    // Every row of the buffer counts, not only the part a window would show.
    std::string render(const FrameView& frame);
    // The output's glyph for each code page 850 byte; nullptr: UTF-8.
    void useGlyphs(const std::array<std::string, 256>* glyphs) { glyphs_ = glyphs; }

private:
    const std::array<std::string, 256>* glyphs_ = nullptr;
    std::vector<std::string> shownRows_;  // code page 850, trailing blanks cut
};
