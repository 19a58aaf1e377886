#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/TerminalRenderer.h"

// What the renderer sends for small changes: the output of every refresh goes
// down a serial line or an ssh connection, so it must stay small.
namespace {

class TerminalRendererOutput : public ::testing::Test {
protected:
    static constexpr int kRows = 49;
    static constexpr int kColumns = 80;
    std::vector<ScreenCell> cells = std::vector<ScreenCell>(kRows * kColumns, ScreenCell{' ', 14});
    int cursorRow = 20;
    int cursorColumn = 35;
    TerminalRenderer renderer;

    ScreenCell& at(int row, int column) { return cells[row * kColumns + column]; }
    FrameView frame(int viewRows = kRows, int viewColumns = kColumns) const {
        return FrameView{cells.data(), kColumns, kRows, 0, 0, viewRows, viewColumns, cursorRow, cursorColumn};
    }
    void SetUp() override {
        for (int column = 0; column < kColumns; ++column) at(5, column) = {196, 15};
        renderer.render(frame());
    }
};

TEST_F(TerminalRendererOutput, UnchangedFrameSendsNothing) {
    EXPECT_EQ(renderer.render(frame()), "");
    EXPECT_EQ(renderer.render(frame()), "");
}

TEST_F(TerminalRendererOutput, CursorMoveAloneSendsOnlyThePosition) {
    cursorRow = 12;
    cursorColumn = 0;
    EXPECT_EQ(renderer.render(frame()), "\x1b[13H");
    cursorColumn = 40;
    EXPECT_EQ(renderer.render(frame()), "\x1b[40C");
    cursorColumn = 43;
    EXPECT_EQ(renderer.render(frame()), "   ") << "three blanks in the current colour are cheaper than a jump";
    cursorColumn = 41;
    EXPECT_EQ(renderer.render(frame()), "\x1b[2D");
}

TEST_F(TerminalRendererOutput, CharacterTypedAtTheCursorIsOneByte) {
    at(20, 35) = {'a', 14};
    cursorColumn = 36;
    EXPECT_EQ(renderer.render(frame()), "a");
    at(20, 35) = {' ', 14};
    cursorColumn = 35;
    EXPECT_EQ(renderer.render(frame()), "\x1b[D \x1b[D") << "Backspace";
}

TEST_F(TerminalRendererOutput, CursorOutsideTheViewIsClampedIntoIt) {
    cursorRow = 48;
    cursorColumn = 79;
    const std::string repaint = renderer.render(frame(24, 40));
    EXPECT_EQ(repaint.substr(repaint.size() - 8), "\x1b[24;40H");
    EXPECT_EQ(renderer.render(frame(24, 40)), "");
    cursorRow = 0;
    EXPECT_EQ(renderer.render(frame(24, 40)), "\x1b[;40H");
}

TEST_F(TerminalRendererOutput, OneChangedCellIsDrawnAndTheCursorReturns) {
    at(10, 30) = {'1', 14};
    EXPECT_EQ(renderer.render(frame()), "\x1b[11;31H1\x1b[21;36H");
}

TEST_F(TerminalRendererOutput, ColourIsSentOnlyWhenItChanges) {
    at(2, 8) = {'D', 15};
    at(2, 9) = {'V', 15};
    at(2, 10) = {'D', 0x1F};
    at(2, 11) = {'!', 0x1F};
    EXPECT_EQ(renderer.render(frame()), "\x1b[3;9H\x1b[97mDV\x1b[44mD!\x1b[21;36H");
}

TEST_F(TerminalRendererOutput, InvalidateRedrawsEveryCellStartingFromAResetColour) {
    renderer.invalidate();
    const std::string repaint = renderer.render(frame());
    EXPECT_EQ(repaint.rfind("\x1b[H\x1b[0;93;40m", 0), 0u);
    EXPECT_GE(repaint.size(), static_cast<std::size_t>(kRows * kColumns + 2 * kColumns));  // U+2500 takes 3 bytes
    EXPECT_EQ(renderer.render(frame()), "");
}

TEST_F(TerminalRendererOutput, NewTerminalSizeRedrawsEveryCell) {
    const std::string repaint = renderer.render(frame(24, 40));
    EXPECT_GE(repaint.size(), static_cast<std::size_t>(24 * 40));
    EXPECT_EQ(repaint.rfind("\x1b[H\x1b[0;", 0), 0u);
}

TEST_F(TerminalRendererOutput, ControlBytesNeverReachTheTerminalRaw) {
    for (int byte = 0; byte < 256; ++byte) at(byte / kColumns + 30, byte % kColumns) = {static_cast<std::uint8_t>(byte), 7};
    const std::string output = renderer.render(frame());
    for (std::size_t index = 0; index < output.size(); ++index) {
        const unsigned char byte = static_cast<unsigned char>(output[index]);
        if (byte == 0x1B) {
            ASSERT_LT(index + 1, output.size());
            EXPECT_EQ(output[index + 1], '[') << "only CSI sequences are sent";
        } else {
            EXPECT_TRUE(byte >= 0x20 && byte != 0x7F) << "raw control byte " << int(byte) << " at " << index;
        }
    }
}

TEST_F(TerminalRendererOutput, EmptyTerminalSendsNothingAndRepaintsOnceItHasASize) {
    EXPECT_EQ(renderer.render(frame(0, 0)), "");
    EXPECT_GE(renderer.render(frame()).size(), static_cast<std::size_t>(kRows * kColumns));
}

}  // namespace
