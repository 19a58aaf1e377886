#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "VtermScreen.h"
#include "console/Cp850.h"
#include "console/TerminalRenderer.h"

// Random edits of a console buffer, rendered as diffs into libvterm: the
// emulator's screen must always equal the buffer's view of it.
namespace {

// The palette entry a VT terminal shows for each console colour (the console
// counts blue, green, red from bit 0; the palette red, green, blue).
constexpr int kPaletteIndexOfConsoleColour[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};
constexpr const char* kProgramModes = "\x1b[?7l";  // sent by the platform before any frame

struct ConsoleBuffer {
    int width = 80;
    int height = 49;
    std::vector<ScreenCell> cells = std::vector<ScreenCell>(static_cast<std::size_t>(width) * height);
    int cursorRow = 0;
    int cursorColumn = 0;

    ScreenCell& at(int row, int column) { return cells[static_cast<std::size_t>(row) * width + column]; }
    void addRows(int count) {
        height += count;
        cells.resize(static_cast<std::size_t>(width) * height);
    }
};

struct View {
    int top = 0;
    int left = 0;
    int rows = 49;
    int columns = 80;
};

FrameView frameOf(const ConsoleBuffer& buffer, const View& view) {
    FrameView frame;
    frame.cells = buffer.cells.data();
    frame.bufferWidth = buffer.width;
    frame.bufferHeight = buffer.height;
    frame.viewTop = view.top;
    frame.viewLeft = view.left;
    frame.viewRows = view.rows;
    frame.viewColumns = view.columns;
    frame.cursorRow = buffer.cursorRow;
    frame.cursorColumn = buffer.cursorColumn;
    return frame;
}

class RendererAgainstVterm : public ::testing::Test {
protected:
    std::mt19937 random{20240611};

    int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); }
    std::uint8_t anyByte() { return static_cast<std::uint8_t>(uniform(0, 255)); }

    // One step of what the console does: scattered cells, a written run that
    // wraps, a filled block, a cleared screen, or nothing but a cursor move.
    void editRandomly(ConsoleBuffer& buffer) {
        const int kind = uniform(0, 99);
        if (kind < 40) {
            for (int count = uniform(1, 20); count > 0; --count)
                buffer.at(uniform(0, buffer.height - 1), uniform(0, buffer.width - 1)) = {anyByte(), anyByte()};
        } else if (kind < 65) {
            int row = uniform(0, buffer.height - 1);
            int column = uniform(0, buffer.width - 1);
            const std::uint8_t attribute = anyByte();
            for (int length = uniform(1, 100); length > 0 && row < buffer.height; --length) {
                buffer.at(row, column) = {anyByte(), attribute};
                if (++column == buffer.width) {
                    column = 0;
                    ++row;
                }
            }
        } else if (kind < 75) {
            const int top = uniform(0, buffer.height - 1);
            const int left = uniform(0, buffer.width - 1);
            const ScreenCell fill{anyByte(), anyByte()};
            for (int row = top; row < std::min(buffer.height, top + uniform(1, 12)); ++row)
                for (int column = left; column < std::min(buffer.width, left + uniform(1, 30)); ++column)
                    buffer.at(row, column) = fill;
        } else if (kind < 80) {
            std::fill(buffer.cells.begin(), buffer.cells.end(), ScreenCell{' ', anyByte()});
        }
        if (uniform(0, 4) > 0) {
            buffer.cursorRow = uniform(0, buffer.height - 1);
            buffer.cursorColumn = uniform(0, buffer.width - 1);
        }
    }

    // Renders the frame into the emulator; every byte of the output that is
    // not text must start an escape sequence.
    static void present(TerminalRenderer& renderer, VtermScreen& terminal, const FrameView& frame) {
        const std::string output = renderer.render(frame);
        for (unsigned char byte : output)
            ASSERT_TRUE(byte >= 0x20 ? byte != 0x7F : byte == 0x1B) << "raw control byte " << int(byte);
        terminal.feed(output);
    }

    static void expectTerminalShows(const VtermScreen& terminal, const FrameView& frame) {
        ASSERT_EQ(terminal.rows(), frame.viewRows);
        ASSERT_EQ(terminal.columns(), frame.viewColumns);
        int mismatches = 0;
        for (int row = 0; row < frame.viewRows; ++row) {
            for (int column = 0; column < frame.viewColumns; ++column) {
                const int bufferRow = frame.viewTop + row;
                const int bufferColumn = frame.viewLeft + column;
                const bool inBuffer = bufferRow >= 0 && bufferRow < frame.bufferHeight && bufferColumn >= 0 &&
                                      bufferColumn < frame.bufferWidth;
                const ScreenCell expected =
                    inBuffer ? frame.cells[bufferRow * frame.bufferWidth + bufferColumn] : ScreenCell{' ', 7};
                const VtermScreen::Cell shown = terminal.cell(row, column);
                const bool same = shown.codePoint == cp850::displayGlyph(expected.character) &&
                                  shown.foreground == kPaletteIndexOfConsoleColour[expected.attribute & 15] &&
                                  shown.background == kPaletteIndexOfConsoleColour[expected.attribute >> 4] &&
                                  !shown.bold && !shown.reverse && !shown.underline;
                if (!same && ++mismatches <= 5) {
                    ADD_FAILURE() << "terminal cell " << row << "," << column << " shows U+" << std::hex
                                  << static_cast<unsigned>(shown.codePoint) << std::dec << " fg " << shown.foreground
                                  << " bg " << shown.background << " bold " << shown.bold << " reverse "
                                  << shown.reverse << " underline " << shown.underline << "; buffer holds byte " << int(expected.character)
                                  << " attribute " << int(expected.attribute);
                }
            }
        }
        EXPECT_EQ(mismatches, 0);
        const VtermScreen::Position cursor{std::clamp(frame.cursorRow - frame.viewTop, 0, frame.viewRows - 1),
                                           std::clamp(frame.cursorColumn - frame.viewLeft, 0, frame.viewColumns - 1)};
        EXPECT_EQ(terminal.cursor(), cursor);
    }

    // Runs edits against one terminal size; `moveView` chooses the view for each step.
    template <typename MoveView>
    void runSteps(ConsoleBuffer& buffer, View& view, int steps, MoveView moveView) {
        VtermScreen terminal(view.rows, view.columns);
        terminal.feed(kProgramModes);
        TerminalRenderer renderer;
        for (int step = 0; step < steps; ++step) {
            SCOPED_TRACE("step " + std::to_string(step));
            editRandomly(buffer);
            moveView(buffer, view);
            const FrameView frame = frameOf(buffer, view);
            present(renderer, terminal, frame);
            expectTerminalShows(terminal, frame);
            if (HasFailure()) return;
        }
    }
};

// The part of the buffer around the cursor, as the platform shows it on a small terminal.
void followCursor(const ConsoleBuffer& buffer, View& view) {
    view.top = std::clamp(view.top, buffer.cursorRow - view.rows + 1, buffer.cursorRow);
    view.left = std::clamp(view.left, buffer.cursorColumn - view.columns + 1, buffer.cursorColumn);
    view.top = std::clamp(view.top, 0, std::max(0, buffer.height - view.rows));
    view.left = std::clamp(view.left, 0, std::max(0, buffer.width - view.columns));
}

TEST_F(RendererAgainstVterm, WholeBufferOnAFullSizeTerminal) {
    ConsoleBuffer buffer;
    View view;
    runSteps(buffer, view, 1000, [](const ConsoleBuffer&, View&) {});
}

TEST_F(RendererAgainstVterm, ShortTerminalFollowsTheCursor) {
    ConsoleBuffer buffer;
    View view{0, 0, 24, 80};
    runSteps(buffer, view, 1000, followCursor);
}

TEST_F(RendererAgainstVterm, NarrowTerminalFollowsTheCursor) {
    ConsoleBuffer buffer;
    View view{0, 0, 30, 40};
    runSteps(buffer, view, 1000, followCursor);
}

TEST_F(RendererAgainstVterm, ViewAwayFromTheCursorClampsIt) {
    ConsoleBuffer buffer;
    View view{0, 0, 24, 40};
    runSteps(buffer, view, 600, [this](const ConsoleBuffer& current, View& moved) {
        moved.top = uniform(0, current.height - moved.rows);
        moved.left = uniform(0, current.width - moved.columns);
    });
}

TEST_F(RendererAgainstVterm, TerminalLargerThanAGrowingBufferShowsBlanksBeyondIt) {
    ConsoleBuffer buffer;
    buffer.height = 20;
    buffer.cells.resize(static_cast<std::size_t>(buffer.width) * buffer.height);
    View view{0, 0, 60, 100};
    runSteps(buffer, view, 400, [this](ConsoleBuffer& current, View&) {
        if (current.height < 60 && uniform(0, 9) == 0) current.addRows(uniform(1, 8));
    });
}

TEST_F(RendererAgainstVterm, ResizedTerminalIsRepaintedWhetherOrNotInvalidated) {
    ConsoleBuffer buffer;
    TerminalRenderer renderer;
    View view;
    VtermScreen terminal(view.rows, view.columns);
    terminal.feed(kProgramModes);
    struct Resize {
        int rows;
        int columns;
        bool invalidated;
    };
    // 30 x 40 to 40 x 30 keeps the cell count: only the shape tells the renderer.
    const Resize resizes[] = {{49, 80, true}, {24, 80, false}, {30, 40, true}, {40, 30, false},
                              {60, 100, false}, {49, 80, true}, {1, 1, false}, {49, 80, false}};
    for (const Resize& resize : resizes) {
        SCOPED_TRACE("size " + std::to_string(resize.rows) + "x" + std::to_string(resize.columns));
        // A resized terminal keeps, clips or reflows what it showed; the renderer must not rely on any of it.
        terminal.feed("\x1b[3;3Hstale\x1b[44m");
        terminal.resize(resize.rows, resize.columns);
        view.rows = resize.rows;
        view.columns = resize.columns;
        if (resize.invalidated) renderer.invalidate();
        for (int step = 0; step < 40; ++step) {
            editRandomly(buffer);
            followCursor(buffer, view);
            const FrameView frame = frameOf(buffer, view);
            present(renderer, terminal, frame);
            expectTerminalShows(terminal, frame);
            if (HasFailure()) return;
        }
    }
}

TEST_F(RendererAgainstVterm, InvalidateRepaintsOverForeignOutput) {
    ConsoleBuffer buffer;
    TerminalRenderer renderer;
    View view;
    VtermScreen terminal(view.rows, view.columns);
    terminal.feed(kProgramModes);
    for (int round = 0; round < 20; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        for (int step = 0; step < 10; ++step) editRandomly(buffer);
        const FrameView frame = frameOf(buffer, view);
        present(renderer, terminal, frame);
        expectTerminalShows(terminal, frame);
        // What a shell or another program leaves behind while the program is suspended.
        terminal.feed("\x1b[1;7;4;33;41m\x1b[2J\x1b[10;10Hjob stopped\r\n$ fg\r\n");
        renderer.invalidate();
    }
    const FrameView frame = frameOf(buffer, view);
    present(renderer, terminal, frame);
    expectTerminalShows(terminal, frame);
}

}  // namespace
