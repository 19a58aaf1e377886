#include "support/ScreenSnapshot.h"

#include "console/ConsoleScreen.h"
#include "console/Cp850.h"

namespace snapshot {

std::string render(const ConsoleScreen& screen) {
    static const char hexDigits[] = "0123456789abcdef";
    const int top = screen.viewTopRow();
    std::string out;
    for (int row = 0; row < screen.visibleRowCount(); ++row) {
        std::string glyphs;
        std::string colours;
        for (int column = 0; column < ConsoleScreen::BUFFER_COLUMNS; ++column) {
            const ScreenCell cell = screen.cellAt(top + row, column);
            cp850::appendGlyphUtf8(glyphs, cell.character);
            const bool onColour = (cell.attribute & 0xF0) != 0;
            colours.push_back(onColour ? '#' : cell.character == ' ' ? '.' : hexDigits[cell.attribute & 0x0F]);
        }
        while (!glyphs.empty() && glyphs.back() == ' ') glyphs.pop_back();
        while (!colours.empty() && colours.back() == '.') colours.pop_back();
        out += std::to_string(row) + "|" + glyphs + "\n";
        if (!colours.empty()) out += std::to_string(row) + "~" + colours + "\n";
    }
    out += "cursor|" + std::to_string(screen.cursorRow() - top) + "," + std::to_string(screen.cursorColumn()) + "\n";
    return out;
}

}  // namespace snapshot
