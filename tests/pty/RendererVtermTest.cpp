#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "Screen.h"
#include "console/Cp850.h"
#include "console/TerminalRenderer.h"

// Random edits of a console buffer rendered as diffs into a terminal
// emulator: after every frame the emulator shows exactly the buffer's view,
// colours and cursor included, whatever the terminal's size and history.
namespace {

// The palette entry a terminal shows for a console colour (the console counts
// blue, green, red from bit 0; the palette red, green, blue).
constexpr int kPaletteOfConsoleColour[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};

struct Case {
    const char* name;
    int rows, columns;   // of the terminal
    int bufferRows;      // grows to 60 when below
    bool viewAnywhere;   // else the view follows the cursor
    int steps;
};

class RendererAgainstVterm : public ::testing::TestWithParam<Case> {
protected:
    std::mt19937 random{20240611};
    int width = 80, height = 49;
    std::vector<ScreenCell> cells;
    FrameView frame;

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    std::uint8_t anyByte() { return static_cast<std::uint8_t>(uniform(0, 255)); }
    ScreenCell& at(int row, int column) { return cells[static_cast<size_t>(row * width + column)]; }

    // Scattered cells, a run that wraps, a block, a cleared screen; mostly a cursor move.
    void edit() {
        const int kind = uniform(0, 99);
        if (kind < 40) {
            for (int count = uniform(1, 20); count > 0; --count) at(uniform(0, height - 1), uniform(0, width - 1)) = {anyByte(), anyByte()};
        } else if (kind < 65) {
            const std::uint8_t attribute = anyByte();
            for (int cell = uniform(0, width * height - 1), length = uniform(1, 100); length > 0 && cell < width * height; --length)
                cells[static_cast<size_t>(cell++)] = {anyByte(), attribute};
        } else if (kind < 75) {
            const int top = uniform(0, height - 1), left = uniform(0, width - 1), bottom = top + uniform(1, 12), right = left + uniform(1, 30);
            const ScreenCell fill{anyByte(), anyByte()};
            for (int row = top; row < std::min(height, bottom); ++row)
                for (int column = left; column < std::min(width, right); ++column) at(row, column) = fill;
        } else if (kind < 80) {
            std::fill(cells.begin(), cells.end(), ScreenCell{' ', anyByte()});
        }
        if (uniform(0, 4) > 0) {
            frame.cursorRow = uniform(0, height - 1);
            frame.cursorColumn = uniform(0, width - 1);
        }
    }

    void moveView(bool anywhere) {
        FrameView& view = frame;
        if (anywhere) {
            view.viewTop = uniform(0, std::max(0, height - view.viewRows));
            view.viewLeft = uniform(0, std::max(0, width - view.viewColumns));
            return;
        }
        view.viewTop = std::clamp(view.viewTop, view.cursorRow - view.viewRows + 1, view.cursorRow);
        view.viewLeft = std::clamp(view.viewLeft, view.cursorColumn - view.viewColumns + 1, view.cursorColumn);
        view.viewTop = std::clamp(view.viewTop, 0, std::max(0, height - view.viewRows));
        view.viewLeft = std::clamp(view.viewLeft, 0, std::max(0, width - view.viewColumns));
    }

    // Renders a frame into the emulator and compares every cell and the cursor.
    void presentAndCompare(TerminalRenderer& renderer, Screen& terminal) {
        frame.cells = cells.data();
        frame.bufferWidth = width;
        frame.bufferHeight = height;
        const std::string output = renderer.render(frame);
        for (unsigned char byte : output) ASSERT_TRUE(byte >= 0x20 ? byte != 0x7F : byte == 0x1B) << "raw control byte " << int(byte);
        terminal.feed(output);
        int mismatches = 0;
        for (int row = 0; row < frame.viewRows; ++row) {
            for (int column = 0; column < frame.viewColumns; ++column) {
                const int bufferRow = frame.viewTop + row, bufferColumn = frame.viewLeft + column;
                const ScreenCell want = bufferRow < height && bufferColumn < width ? at(bufferRow, bufferColumn) : ScreenCell{' ', 7};
                const Screen::Cell shown = terminal.cell(row, column);
                if ((shown.codePoint != cp850::displayGlyph(want.character) ||
                     shown.foreground != kPaletteOfConsoleColour[want.attribute & 15] ||
                     shown.background != kPaletteOfConsoleColour[want.attribute >> 4] || shown.styled) &&
                    ++mismatches <= 5)
                    ADD_FAILURE() << "cell " << row << "," << column << " shows U+" << std::hex << unsigned(shown.codePoint)
                                  << std::dec << " fg " << shown.foreground << " bg " << shown.background
                                  << "; buffer holds " << int(want.character) << " attribute " << int(want.attribute);
            }
        }
        const Screen::Position cursor{std::clamp(frame.cursorRow - frame.viewTop, 0, frame.viewRows - 1),
                                      std::clamp(frame.cursorColumn - frame.viewLeft, 0, frame.viewColumns - 1)};
        EXPECT_EQ(terminal.cursor(), cursor);
    }

    void startTerminal(const Case& size, Screen& terminal) {
        height = size.bufferRows;
        cells.assign(static_cast<size_t>(width * height), ScreenCell{});
        frame.viewRows = size.rows;
        frame.viewColumns = size.columns;
        terminal.feed("\x1b[?7l");  // the platform's modes, sent before any frame
    }
};

TEST_P(RendererAgainstVterm, ShowsTheBufferAfterEveryFrame) {
    const Case& size = GetParam();
    Screen terminal(size.rows, size.columns);
    startTerminal(size, terminal);
    TerminalRenderer renderer;
    for (int step = 0; step < size.steps && !HasFailure(); ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        edit();
        if (height < 60 && uniform(0, 9) == 0) {  // a buffer that grows below a taller terminal
            height = std::min(60, height + uniform(1, 8));
            cells.resize(static_cast<size_t>(width * height));
        }
        moveView(size.viewAnywhere);
        presentAndCompare(renderer, terminal);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RendererAgainstVterm,
                         ::testing::Values(Case{"FullSize", 49, 80, 49, false, 1000}, Case{"Short", 24, 80, 49, false, 1000},
                                           Case{"Narrow", 30, 40, 49, false, 1000}, Case{"ViewAnywhere", 24, 40, 49, true, 600},
                                           Case{"TallerThanBuffer", 60, 100, 20, false, 400}),
                         [](const auto& info) { return std::string(info.param.name); });

// A resized terminal keeps, clips or reflows what it showed, and a suspended
// program's shell writes over it: the renderer relies on none of it.
TEST_F(RendererAgainstVterm, RepaintsAfterResizesAndForeignOutput) {
    Screen terminal(49, 80);
    startTerminal({"", 49, 80, 49, false, 0}, terminal);
    TerminalRenderer renderer;
    // 30 x 40 to 40 x 30 keeps the cell count: only the shape tells the renderer.
    const struct { int rows, columns; bool invalidated; } sizes[] = {
        {49, 80, true}, {24, 80, false}, {30, 40, true}, {40, 30, false}, {60, 100, false}, {49, 80, true}, {1, 1, false}, {49, 80, false}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.rows) + "x" + std::to_string(size.columns));
        terminal.feed("\x1b[3;3Hstale\x1b[44m");
        terminal.resize(size.rows, size.columns);
        frame.viewRows = size.rows;
        frame.viewColumns = size.columns;
        if (size.invalidated) renderer.invalidate();
        for (int step = 0; step < 40 && !HasFailure(); ++step) {
            edit();
            moveView(false);
            presentAndCompare(renderer, terminal);
        }
        terminal.feed("\x1b[1;7;4;33;41m\x1b[2J\x1b[10;10Hjob stopped\r\n$ fg\r\n");
        renderer.invalidate();
        presentAndCompare(renderer, terminal);
    }
}

}  // namespace
