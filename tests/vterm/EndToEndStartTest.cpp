#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "EndToEndSupport.h"

// The real program in a pseudo-terminal of various sizes: the main screen as
// a person sees it, and the terminal handed back after Escape.
namespace {

using namespace end_to_end;

constexpr int kWhite = 15;
constexpr int kYellow = 14;

struct ExpectedCell {
    char32_t codePoint = U' ';
    int consoleColour = -1;  // -1: a blank, whatever its colour
};

// The finished main screen, 80 x 49, as the console buffer holds it.
std::vector<std::vector<ExpectedCell>> expectedMainScreen() {
    std::vector<std::vector<ExpectedCell>> rows(49, std::vector<ExpectedCell>(80));
    const auto place = [&rows](int row, int column, std::u32string_view text, int colour) {
        for (char32_t codePoint : text) rows[row][column++] = {codePoint, colour};
    };
    place(2, 8, U"DVD Verwaltungs-System", kWhite);
    place(2, 60, U"Version 1.5", kWhite);
    place(5, 0, std::u32string(80, U'\u2500'), kWhite);
    place(10, 30, U"1", kYellow);
    place(10, 32, U"DVD Bibliothek", kYellow);
    place(12, 30, U"2", kYellow);
    place(12, 32, U"DVD Verleih", kYellow);
    place(20, 30, U"Wahl:", kYellow);
    return rows;
}

// Every cell of the terminal equals the main screen's cell at (top + row,
// left + column): text, colour, and an explicit black background throughout.
void expectMainScreenWindow(VtermScreen& screen, int top, int left) {
    const auto expected = expectedMainScreen();
    int wrongCells = 0;
    for (int row = 0; row < screen.rows(); ++row) {
        for (int column = 0; column < screen.columns(); ++column) {
            const ExpectedCell& want = expected[top + row][left + column];
            const VtermScreen::Cell got = screen.cell(row, column);
            const bool right = got.codePoint == want.codePoint && got.background == 0 && !got.bold &&
                               !got.reverse && !got.underline &&
                               (want.consoleColour < 0 || got.foreground == paletteOf(want.consoleColour));
            if (!right && ++wrongCells <= 5)
                ADD_FAILURE() << "cell (" << row << ", " << column << "): U+" << std::hex
                              << static_cast<int>(got.codePoint) << std::dec << " colour " << got.foreground
                              << " on " << got.background << ", expected U+" << std::hex
                              << static_cast<int>(want.codePoint) << std::dec << " colour "
                              << (want.consoleColour < 0 ? -1 : paletteOf(want.consoleColour)) << " on 0";
        }
    }
    EXPECT_EQ(wrongCells, 0) << screenDump(screen);
    EXPECT_EQ(screen.cursor(), (VtermScreen::Position{20 - top, 35 - left})) << "the cursor belongs after \"Wahl:\"";
}

// On a terminal smaller than the screen: the window that holds the cursor.
void expectMainScreenAroundCursor(VtermScreen& screen) {
    const VtermScreen::Position cursor = screen.cursor();
    const int top = 20 - cursor.row;
    const int left = 35 - cursor.column;
    ASSERT_TRUE(top >= 0 && top + screen.rows() <= 49 && left >= 0 && left + screen.columns() <= 80)
        << "the cursor is at (" << cursor.row << ", " << cursor.column << ")" << screenDump(screen);
    expectMainScreenWindow(screen, top, left);
}

void expectEscapeEndsWithStatusZero(PtySession& session) {
    session.send("\x1b");
    const std::optional<int> status = session.waitForExit();
    ASSERT_TRUE(status.has_value()) << "the program did not end after Escape" << screenDump(session.screen());
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << describeWaitStatus(*status);
}

TEST(EndToEndStart, DrawsTheMainScreenExactlyAndGivesTheTerminalBackOnEscape) {
    ScratchDirectory directory;
    PtySession session(programIn(directory, 49, 80));
    VtermScreen& screen = session.screen();
    ASSERT_TRUE(session.pumpUntil([&] { return mainScreenShown(screen); })) << screenDump(screen);

    expectMainScreenWindow(screen, 0, 0);
    EXPECT_EQ(screen.title(), "DVD Verwaltung");
    EXPECT_FALSE(screen.privateModeSet(7)) << "autowrap must be off while the program draws";

    ASSERT_NO_FATAL_FAILURE(expectEscapeEndsWithStatusZero(session));
    expectTerminalGivenBack(session);
    EXPECT_TRUE(std::filesystem::is_empty(directory.path())) << "nothing is saved at the end";
}

TEST(EndToEndStart, ShowsThePartAroundTheCursorOnASmallerTerminal) {
    ScratchDirectory directory;
    PtySession session(programIn(directory, 24, 80));
    VtermScreen& screen = session.screen();
    ASSERT_TRUE(session.pumpUntil([&] { return menuAwaitsChoice(screen, screen.cursor().row); }))
        << screenDump(screen);

    expectMainScreenAroundCursor(screen);
    ASSERT_NO_FATAL_FAILURE(expectEscapeEndsWithStatusZero(session));
    expectTerminalGivenBack(session);
}

TEST(EndToEndStart, RepaintsEverythingWhenTheTerminalIsResized) {
    ScratchDirectory directory;
    PtySession session(programIn(directory, 24, 80));
    VtermScreen& screen = session.screen();
    ASSERT_TRUE(session.pumpUntil([&] { return menuAwaitsChoice(screen, screen.cursor().row); }))
        << screenDump(screen);

    // The scribbles stand for whatever the terminal shows after a resize:
    // only a repaint of every cell removes them all.
    scribbleOver(screen);
    session.resize(49, 80);
    ASSERT_TRUE(session.pumpUntil([&] { return mainScreenShown(screen) && !anyScribbleLeft(screen); }))
        << "no full repaint after growing to 80 x 49" << screenDump(screen);
    expectMainScreenWindow(screen, 0, 0);

    scribbleOver(screen);
    session.resize(15, 40);
    ASSERT_TRUE(session.pumpUntil([&] { return menuAwaitsChoice(screen, screen.cursor().row) && !anyScribbleLeft(screen); }))
        << "no full repaint after shrinking to 40 x 15" << screenDump(screen);
    expectMainScreenAroundCursor(screen);

    ASSERT_NO_FATAL_FAILURE(expectEscapeEndsWithStatusZero(session));
}

}  // namespace
