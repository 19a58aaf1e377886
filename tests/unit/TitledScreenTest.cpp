#include <gtest/gtest.h>

#include <iostream>

#include "console/TitledScreen.h"
#include "support/ScreenSnapshot.h"
#include "support/ScriptedPlatform.h"

namespace {

class TitledScreenTest : public ::testing::Test {
protected:
    void SetUp() override { scripted::reset(); }
};

TEST_F(TitledScreenTest, BannerWritesOnlyItsTextsAndTheLine) {
    TitledScreen screen;
    screen.setColor(14, 0);
    screen.setCursor(2, 0);
    std::cout << std::string(80, '#');
    screen.drawBanner();
    EXPECT_EQ(snapshot::textAt(screen, 2, 0, 8), "########");
    EXPECT_EQ(snapshot::textAt(screen, 2, 8, 22), "DVD Verwaltungs-System");
    EXPECT_EQ(snapshot::textAt(screen, 2, 30, 30), std::string(30, '#'));
    EXPECT_EQ(snapshot::textAt(screen, 2, 60, 11), "Version 1.5");
    EXPECT_EQ(screen.cellAt(2, 8).attribute, 15);
    EXPECT_EQ(screen.cellAt(2, 30).attribute, 14);
    EXPECT_EQ(snapshot::textAt(screen, 5, 0, 80), std::string(80, '\xc4'));
    EXPECT_EQ(screen.cellAt(5, 79).attribute, 15);
    EXPECT_EQ(screen.cursorRow(), 6);
    EXPECT_EQ(screen.cursorColumn(), 0);
}

TEST_F(TitledScreenTest, EveryHeadingStartsAtColumn32AndLeavesWhite) {
    const std::pair<void (TitledScreen::*)(), const char*> headings[] = {
        {&TitledScreen::drawLibraryHeading, "DVD - Bibliothek"},
        {&TitledScreen::drawRentalHeading, "DVD - Verleih"},
        {&TitledScreen::drawNewDvdHeading, "DVD neuerfassen"},
        {&TitledScreen::drawDeleteDvdHeading, "DVD loeschen"},
        {&TitledScreen::drawSearchHeading, "DVD - suchen"},
        {&TitledScreen::drawSearchResultHeading, "DVD - Suchresultat"},
        {&TitledScreen::drawLibraryListHeading, "DVD - Liste anzeigen"},
        {&TitledScreen::drawLendHeading, "DVD ausleihen"},
        {&TitledScreen::drawReturnHeading, "DVD retour"},
        {&TitledScreen::drawRentalListHeading, "Verleih - Liste anzeigen"},
    };
    for (const auto& [draw, title] : headings) {
        TitledScreen screen;
        screen.setCursor(3, 3);
        std::cout << "bleibt";
        (screen.*draw)();
        const std::string text = title;
        EXPECT_EQ(snapshot::textAt(screen, 2, 32, static_cast<int>(text.size())), text);
        EXPECT_EQ(screen.cellAt(2, 31).character, ' ') << title;
        EXPECT_EQ(snapshot::textAt(screen, 3, 3, 6), "bleibt");
        EXPECT_EQ(snapshot::textAt(screen, 5, 0, 80), std::string(80, '\xc4'));
        EXPECT_EQ(screen.currentAttribute(), 15);
        std::cout << 'w';
        EXPECT_EQ(screen.cellAt(6, 0).attribute, 15);
    }
}

}  // namespace
