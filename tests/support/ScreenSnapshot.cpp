#include "support/ScreenSnapshot.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "console/ConsoleScreen.h"
#include "console/Cp850.h"

namespace snapshot {

namespace {

std::string trimRight(std::string text) {
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
}

std::filesystem::path snapshotPath(const std::string& name) {
    return std::filesystem::path(SNAPSHOT_DIR) / (name + ".txt");
}

}  // namespace

std::string render(const ConsoleScreen& screen, int firstRow, int rowCount) {
    static const char hexDigits[] = "0123456789abcdef";
    std::string out;
    for (int row = firstRow; row < firstRow + rowCount; ++row) {
        std::string glyphs;
        std::string colours;
        for (int column = 0; column < ConsoleScreen::BUFFER_COLUMNS; ++column) {
            const ScreenCell cell = screen.cellAt(row, column);
            cp850::appendGlyphUtf8(glyphs, cell.character);
            const bool blankOnBlack = cell.character == ' ' && (cell.attribute & 0xF0) == 0;
            colours.push_back(blankOnBlack ? '.' : hexDigits[cell.attribute & 0x0F]);
            if ((cell.attribute & 0xF0) != 0) colours.back() = '#';
        }
        std::string colourLine = colours;
        while (!colourLine.empty() && colourLine.back() == '.') colourLine.pop_back();
        out += std::to_string(row) + "|" + trimRight(glyphs) + "\n";
        if (!colourLine.empty()) out += std::to_string(row) + "~" + colourLine + "\n";
    }
    return out;
}

std::string compare(const std::string& name, const std::string& actual) {
    const std::filesystem::path path = snapshotPath(name);
    std::ifstream existing(path, std::ios::binary);
    if (!existing || std::getenv("UPDATE_SNAPSHOTS") != nullptr) {
        std::ofstream(path, std::ios::binary) << actual;
        return {};
    }
    const std::string expected{std::istreambuf_iterator<char>(existing), std::istreambuf_iterator<char>()};
    if (expected == actual) return {};
    std::istringstream expectedLines(expected);
    std::istringstream actualLines(actual);
    std::string expectedLine;
    std::string actualLine;
    for (int line = 1;; ++line) {
        const bool moreExpected = static_cast<bool>(std::getline(expectedLines, expectedLine));
        const bool moreActual = static_cast<bool>(std::getline(actualLines, actualLine));
        if (!moreExpected && !moreActual) break;
        if (expectedLine != actualLine || moreExpected != moreActual)
            return "snapshot " + name + " differs at line " + std::to_string(line) + "\n expected: " +
                   expectedLine + "\n actual:   " + actualLine;
    }
    return "snapshot " + name + " differs";
}

std::string textAt(const ConsoleScreen& screen, int row, int column, int length) {
    std::string text;
    for (int i = 0; i < length; ++i) text.push_back(static_cast<char>(screen.cellAt(row, column + i).character));
    return text;
}

}  // namespace snapshot
