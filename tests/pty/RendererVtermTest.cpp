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
    int rows, columns, bufferRows;  // a buffer below the terminal's height grows to 60 rows
    bool viewAnywhere;              // else the view follows the cursor
};

class RendererAgainstVterm : public ::testing::TestWithParam<Case> {
protected:
    std::mt19937 random{20240611};
    int height = 49;
    std::vector<ScreenCell> cells = std::vector<ScreenCell>(80 * 49);
    FrameView frame{nullptr, 80, 49, 0, 0, 49, 80, 0, 0};

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    std::uint8_t anyByte() { return static_cast<std::uint8_t>(uniform(0, 255)); }

    // Scattered cells, a run that wraps, a block, a cleared screen; mostly a
    // cursor move; the view where the case puts it.
    void edit(bool viewAnywhere) {
        const int kind = uniform(0, 99), size = 80 * height;
        const ScreenCell fill{anyByte(), anyByte()};
        if (kind < 40) {
            for (int count = uniform(1, 20); count > 0; --count) cells[size_t(uniform(0, size - 1))] = {anyByte(), anyByte()};
        } else if (kind < 65) {
            for (int cell = uniform(0, size - 1), length = uniform(1, 100); length > 0 && cell < size; --length)
                cells[size_t(cell++)] = {anyByte(), fill.attribute};
        } else if (kind < 75) {
            const int top = uniform(0, height - 1), left = uniform(0, 79), bottom = top + uniform(1, 12), right = left + uniform(1, 30);
            for (int row = top; row < std::min(height, bottom); ++row)
                for (int column = left; column < std::min(80, right); ++column) cells[size_t(row * 80 + column)] = fill;
        } else if (kind < 80) {
            std::fill(cells.begin(), cells.end(), ScreenCell{' ', fill.attribute});
        }
        if (uniform(0, 4) > 0) frame.cursorRow = uniform(0, height - 1), frame.cursorColumn = uniform(0, 79);
        FrameView& view = frame;
        if (viewAnywhere) {
            view.viewTop = uniform(0, std::max(0, height - view.viewRows));
            view.viewLeft = uniform(0, std::max(0, 80 - view.viewColumns));
            return;
        }
        view.viewTop = std::clamp(std::clamp(view.viewTop, view.cursorRow - view.viewRows + 1, view.cursorRow), 0,
                                  std::max(0, height - view.viewRows));
        view.viewLeft = std::clamp(std::clamp(view.viewLeft, view.cursorColumn - view.viewColumns + 1, view.cursorColumn), 0,
                                   std::max(0, 80 - view.viewColumns));
    }

    // Renders the frame into the emulator and compares every cell and the cursor.
    void presentAndCompare(TerminalRenderer& renderer, Screen& terminal) {
        frame.cells = cells.data();
        frame.bufferHeight = height;
        const std::string output = renderer.render(frame);
        for (unsigned char byte : output) ASSERT_TRUE(byte >= 0x20 ? byte != 0x7F : byte == 0x1B) << "raw control " << int(byte);
        terminal.feed(output);
        int mismatches = 0;
        for (int row = 0; row < frame.viewRows; ++row) {
            for (int column = 0; column < frame.viewColumns; ++column) {
                const int bufferRow = frame.viewTop + row, bufferColumn = frame.viewLeft + column;
                const ScreenCell want = bufferRow < height && bufferColumn < 80 ? cells[size_t(bufferRow * 80 + bufferColumn)] : ScreenCell{' ', 7};
                const Screen::Cell shown = terminal.cell(row, column);
                if ((shown.codePoint != cp850::displayGlyph(want.character) || shown.styled ||
                     shown.foreground != kPaletteOfConsoleColour[want.attribute & 15] ||
                     shown.background != kPaletteOfConsoleColour[want.attribute >> 4]) && ++mismatches <= 5)
                    ADD_FAILURE() << "cell " << row << "," << column << " shows U+" << std::hex << unsigned(shown.codePoint) << std::dec
                                  << " fg " << shown.foreground << " bg " << shown.background << "; buffer holds "
                                  << int(want.character) << " attribute " << int(want.attribute);
            }
        }
        EXPECT_EQ(terminal.cursor(), (Screen::Position{std::clamp(frame.cursorRow - frame.viewTop, 0, frame.viewRows - 1),
                                                       std::clamp(frame.cursorColumn - frame.viewLeft, 0, frame.viewColumns - 1)}));
    }

    // The terminal takes the new size; the renderer is told, or finds out.
    void resize(Screen& terminal, int rows, int columns) {
        terminal.resize(rows, columns);
        frame.viewRows = rows;
        frame.viewColumns = columns;
    }
};

TEST_P(RendererAgainstVterm, ShowsTheBufferAfterEveryFrame) {
    const Case& size = GetParam();
    Screen terminal(size.rows, size.columns);
    terminal.feed("\x1b[?7l");  // the platform's modes, sent before any frame
    resize(terminal, size.rows, size.columns);
    cells.resize(size_t(80 * (height = size.bufferRows)));
    TerminalRenderer renderer;
    for (int step = 0; step < 800 && !HasFailure(); ++step) {
        SCOPED_TRACE("step " + std::to_string(step));
        if (height < 60 && uniform(0, 9) == 0) cells.resize(size_t(80 * (height = std::min(60, height + uniform(1, 8)))));
        edit(size.viewAnywhere);
        presentAndCompare(renderer, terminal);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RendererAgainstVterm,
                         ::testing::Values(Case{"FullSize", 49, 80, 49, false}, Case{"Short", 24, 80, 49, false},
                                           Case{"Narrow", 30, 40, 49, false}, Case{"ViewAnywhere", 24, 40, 49, true},
                                           Case{"TallerThanBuffer", 60, 100, 20, false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A resized terminal keeps, clips or reflows what it showed, and a suspended
// program's shell writes over it: the renderer relies on none of it.
TEST_F(RendererAgainstVterm, RepaintsAfterResizesAndForeignOutput) {
    Screen terminal(49, 80);
    terminal.feed("\x1b[?7l");
    TerminalRenderer renderer;
    // 30 x 40 to 40 x 30 keeps the cell count: only the shape tells the renderer.
    const struct { int rows, columns; bool invalidated; } sizes[] = {
        {49, 80, true}, {24, 80, false}, {30, 40, true}, {40, 30, false}, {60, 100, false}, {49, 80, true}, {1, 1, false}, {49, 80, false}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size.rows) + "x" + std::to_string(size.columns));
        terminal.feed("\x1b[3;3Hstale\x1b[44m");
        resize(terminal, size.rows, size.columns);
        if (size.invalidated) renderer.invalidate();
        for (int step = 0; step < 40 && !HasFailure(); ++step) edit(false), presentAndCompare(renderer, terminal);
        terminal.feed("\x1b[1;7;4;33;41m\x1b[2J\x1b[10;10Hjob stopped\r\n$ fg\r\n");
        renderer.invalidate();
        presentAndCompare(renderer, terminal);
    }
}

}  // namespace
