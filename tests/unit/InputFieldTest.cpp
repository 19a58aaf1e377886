#include <gtest/gtest.h>

#include <iostream>

#include "console/ConsoleScreen.h"
#include "console/InputField.h"
#include "support/ScreenSnapshot.h"
#include "support/ScriptedPlatform.h"

namespace {

class InputFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        scripted::reset();
        screen = std::make_unique<ConsoleScreen>();
        screen->setColor(14, 0);
    }
    std::string field(int maxLength, int row, int column) { return readInputField(*screen, maxLength, row, column); }

    std::unique_ptr<ConsoleScreen> screen;
};

TEST_F(InputFieldTest, EnterReturnsWhatWasTyped) {
    scripted::typeKeys("\r");
    EXPECT_EQ(field(20, 10, 40), "");
    scripted::typeKeys("Der Fall\r");
    EXPECT_EQ(field(30, 12, 40), "Der Fall");
    EXPECT_EQ(snapshot::textAt(*screen, 12, 40, 8), "Der Fall");
    EXPECT_EQ(screen->cellAt(12, 40).attribute, 15);
    EXPECT_EQ(screen->currentAttribute(), 14);
}

TEST_F(InputFieldTest, EveryKeyOfABurstCountsIncludingTheOneBeforeEnter) {
    scripted::typeKeys("Krieg, Frieden\r");
    EXPECT_EQ(field(30, 10, 40), "Krieg, Frieden");
}

TEST_F(InputFieldTest, AFullFieldTakesNoMore) {
    scripted::typeKeys("jn\r");
    EXPECT_EQ(field(1, 22, 27), "j");
    EXPECT_EQ(screen->cellAt(22, 28).character, ' ');
}

TEST_F(InputFieldTest, BackspaceEmptiesTheWholeField) {
    scripted::typeKeys("abc\bd\r");
    EXPECT_EQ(field(5, 10, 40), "d");
    EXPECT_EQ(snapshot::textAt(*screen, 10, 40, 5), "d    ");
}

TEST_F(InputFieldTest, BackspaceOnAnEmptyFieldBlanksItAndPlacesTheCursor) {
    screen->setCursor(10, 40);
    std::cout << "xxxxx";
    screen->setCursor(10, 20);
    scripted::typeKey(8);
    scripted::typeKey(27);
    EXPECT_EQ(field(3, 10, 40), "escape");
    EXPECT_EQ(snapshot::textAt(*screen, 10, 40, 5), "   xx");
    EXPECT_EQ(screen->cursorColumn(), 40);
}

TEST_F(InputFieldTest, EscapeDiscardsTheText) {
    scripted::typeKeys("ab\x1b");
    EXPECT_EQ(field(20, 10, 40), "escape");
    EXPECT_EQ(screen->currentAttribute(), 14);
}

TEST_F(InputFieldTest, ExtendedKeysTypeTheirSecondCode) {
    scripted::typeF1();
    scripted::typeF2();
    scripted::typeKey(224);
    scripted::typeKey(72);
    scripted::typeKeys("\r");
    EXPECT_EQ(field(20, 10, 40), ";<H");
}

TEST_F(InputFieldTest, ControlCodesAreNotTaken) {
    for (int code : {1, 9, 10, 127, 31}) scripted::typeKey(code);
    scripted::typeKeys("ok\r");
    EXPECT_EQ(field(20, 10, 40), "ok");
}

TEST_F(InputFieldTest, LettersAbove127AreStoredAsOneByte) {
    scripted::typeKeys("M\x81nchen\r");
    EXPECT_EQ(field(20, 10, 40), "M\x81nchen");
    EXPECT_EQ(screen->cellAt(10, 41).character, 0x81);
}

TEST_F(InputFieldTest, TheFirstCharacterGoesToTheFieldNotToTheCursor) {
    screen->setCursor(10, 20);
    std::cout << "Film Art:";
    scripted::typeKeys("a\r");
    EXPECT_EQ(field(20, 10, 40), "a");
    EXPECT_EQ(screen->cellAt(10, 29).character, ' ');
    EXPECT_EQ(screen->cellAt(10, 40).character, 'a');
}

TEST_F(InputFieldTest, AFieldPastTheRightEdgeNeverWritesIntoTheNextRow) {
    const std::string title = "Die unendliche Geschichte, T2";  // 29 characters into 28 cells
    scripted::typeKeys(title + "\r");
    EXPECT_EQ(field(30, 10, 52), title);
    EXPECT_EQ(snapshot::textAt(*screen, 11, 0, 80), std::string(80, ' '));
    // The end of the text stays visible in the cells there are.
    EXPECT_EQ(snapshot::textAt(*screen, 10, 52, 27), title.substr(title.size() - 27));
    scripted::typeKeys(title + "\b\r");
    EXPECT_EQ(field(30, 10, 52), "");
    EXPECT_EQ(snapshot::textAt(*screen, 11, 0, 80), std::string(80, ' '));
    EXPECT_EQ(snapshot::textAt(*screen, 10, 52, 28), std::string(28, ' '));
}

}  // namespace
