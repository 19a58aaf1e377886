#include <gtest/gtest.h>

#include "VtermScreen.h"

// The end-to-end tests judge the program by these readings, so a reading that
// is always "fine" would hide a broken terminal restore.
namespace {

TEST(VtermScreen, ReadsModesTitleAndRepliesAsAProgramLeftThem) {
    VtermScreen terminal(24, 80);
    EXPECT_TRUE(terminal.privateModeSet(7));
    EXPECT_TRUE(terminal.cursorVisible());
    terminal.feed("\x1b]2;DVD Verwaltung\x07\x1b[?7l\x1b[?25l\x1b[5;10H\x1b[6n");
    EXPECT_EQ(terminal.title(), "DVD Verwaltung");
    EXPECT_FALSE(terminal.privateModeSet(7));
    EXPECT_FALSE(terminal.cursorVisible());
    EXPECT_EQ(terminal.takeReplies(), "\x1b[5;10R") << "a mode query must not eat the program's replies";
    EXPECT_EQ(terminal.takeReplies(), "");
    terminal.feed("\x1b[?7h\x1b[?25h");
    EXPECT_TRUE(terminal.privateModeSet(7));
    EXPECT_TRUE(terminal.cursorVisible());
}

TEST(VtermScreen, ReadsTextAndColoursOfCells) {
    VtermScreen terminal(3, 10);
    terminal.feed("\x1b[2;3H\x1b[0;93;44m\xe2\x94\x80\xc3\xa4x\x1b[1;7m!");
    EXPECT_EQ(terminal.text(1, 2, 3), "\xe2\x94\x80\xc3\xa4x");
    EXPECT_EQ(terminal.rowText(0), std::string(10, ' '));
    const VtermScreen::Cell line = terminal.cell(1, 2);
    EXPECT_EQ(line.codePoint, U'\u2500');
    EXPECT_EQ(line.foreground, 11);
    EXPECT_EQ(line.background, 4);
    EXPECT_EQ(terminal.cell(0, 0).foreground, VtermScreen::kDefaultColour);
    EXPECT_TRUE(terminal.cell(1, 5).bold);
    EXPECT_TRUE(terminal.cell(1, 5).reverse);
    EXPECT_EQ(terminal.cursor(), (VtermScreen::Position{1, 6}));
}

}  // namespace
