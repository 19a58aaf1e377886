#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>

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

    // Alt+1 and a terminal's colour reply are neither Escape nor a choice.
    session.send("\x1b" "1\x1b]11;rgb:0000/0000/0000\x1b\\");
    session.pumpFor(std::chrono::milliseconds(300));
    EXPECT_TRUE(mainScreenShown(screen)) << screenDump(screen);

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

    // Larger than the screen: what lies beyond it is blanked too.
    scribbleOver(screen);
    session.resize(60, 100);
    ASSERT_TRUE(session.pumpUntil([&] { return mainScreenShown(screen) && !anyScribbleLeft(screen); }))
        << "no full repaint after growing to 100 x 60" << screenDump(screen);

    scribbleOver(screen);
    session.resize(15, 40);
    ASSERT_TRUE(session.pumpUntil([&] { return menuAwaitsChoice(screen, screen.cursor().row) && !anyScribbleLeft(screen); }))
        << "no full repaint after shrinking to 40 x 15" << screenDump(screen);
    expectMainScreenAroundCursor(screen);

    ASSERT_NO_FATAL_FAILURE(expectEscapeEndsWithStatusZero(session));
}

// A terminal that claims 65535 x 65535 cells (no emulator could hold it, so
// the output is only scanned): the program must neither fail to allocate
// nor slow down, under a memory limit far below what that size would take.
TEST(EndToEndStart, AnAbsurdTerminalSizeCostsNoMoreThanTheScreen) {
    ScratchDirectory directory;
    winsize size{};
    size.ws_row = 65535;
    size.ws_col = 65535;
    int master = -1;
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, &size);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
#if defined(__SANITIZE_ADDRESS__)
        ::setenv("ASAN_OPTIONS", "max_allocation_size_mb=512:allocator_may_return_null=0", 1);
#else
        const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
        ::setrlimit(RLIMIT_AS, &limit);
#endif
        if (::chdir(directory.path().c_str()) == 0) ::execl(DVD_BINARY, DVD_BINARY, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::string output;
    bool escapeSent = false;
    int status = 0;
    const auto deadline = std::chrono::steady_clock::now() + PtySession::kPatience;
    while (std::chrono::steady_clock::now() < deadline && ::waitpid(pid, &status, WNOHANG) == 0) {
        pollfd terminal{master, POLLIN, 0};
        char buffer[4096];
        if (::poll(&terminal, 1, 10) > 0) {
            const ssize_t count = ::read(master, buffer, sizeof buffer);
            if (count > 0) output.append(buffer, static_cast<std::size_t>(count));
        }
        if (!escapeSent && output.find("Wahl:") != std::string::npos) {
            escapeSent = ::write(master, "\x1b", 1) == 1;
        }
        status = -1;
    }
    if (status == -1 || !WIFEXITED(status)) ::kill(pid, SIGKILL);
    ::close(master);
    EXPECT_TRUE(escapeSent) << "the main screen never came";
    ASSERT_NE(status, -1) << "the program did not end";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << describeWaitStatus(status);
    EXPECT_LT(output.size(), 100000u) << "the output follows the claimed size, not the screen";
}

}  // namespace
