#pragma once
#include <array>
#include <string>
#include <vector>

#include "console/ScreenCell.h"

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
