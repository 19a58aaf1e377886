#include "console/PlainTextRenderer.h"

#include "console/Cp850.h"

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
