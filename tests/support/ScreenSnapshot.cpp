#include "support/ScreenSnapshot.h"

#include "console/Cp850.h"

namespace snapshot {

std::string render(const scripted::Shown& shown) {
    static const char hexDigits[] = "0123456789abcdef";
    std::string out;
    for (int row = 0; row < shown.rows; ++row) {
        std::string glyphs;
        std::string colours;
        for (int column = 0; column < shown.columns; ++column) {
            const ScreenCell cell = shown.cells[static_cast<std::size_t>(row * shown.columns + column)];
            cp850::appendGlyphUtf8(glyphs, cell.character);
            const bool onColour = (cell.attribute & 0xF0) != 0;
            colours.push_back(onColour ? '#' : cell.character == ' ' ? '.' : hexDigits[cell.attribute & 0x0F]);
        }
        while (!glyphs.empty() && glyphs.back() == ' ') glyphs.pop_back();
        while (!colours.empty() && colours.back() == '.') colours.pop_back();
        out += std::to_string(row) + "|" + glyphs + "\n";
        if (!colours.empty()) out += std::to_string(row) + "~" + colours + "\n";
    }
    return out + "cursor|" + std::to_string(shown.cursorRow) + "," + std::to_string(shown.cursorColumn) + "\n";
}

}  // namespace snapshot
