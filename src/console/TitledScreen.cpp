#include "console/TitledScreen.h"

#include <iostream>

#include "console/Colors.h"
#include "system/Version.h"

namespace {
constexpr int SEPARATOR_ROW = 5;
constexpr int SEPARATOR_LENGTH = 80;
constexpr int TITLE_ROW = 2;
constexpr int TITLE_COLUMN = 32;
}  // namespace

TitledScreen::TitledScreen() : lineChar(static_cast<char>(196)) {}

void TitledScreen::drawSeparator() {
    setCursor(SEPARATOR_ROW, 0);
    for (int i = 0; i < SEPARATOR_LENGTH; ++i) std::cout.put(lineChar);
}

void TitledScreen::drawHeading(const char* title) {
    setColor(colors::WHITE, colors::BLACK);
    setCursor(TITLE_ROW, TITLE_COLUMN);
    std::cout << title;
    drawSeparator();
}

void TitledScreen::drawBanner() {
    setColor(colors::WHITE, colors::BLACK);
    setCursor(TITLE_ROW, 8);
    std::cout << "DVD Verwaltungs-System";
    setCursor(TITLE_ROW, 60);
    std::cout << "Version " << PROGRAM_VERSION;
    drawSeparator();
}

void TitledScreen::drawLibraryHeading() { drawHeading("DVD - Bibliothek"); }
void TitledScreen::drawRentalHeading() { drawHeading("DVD - Verleih"); }
void TitledScreen::drawNewDvdHeading() { drawHeading("DVD neuerfassen"); }
void TitledScreen::drawDeleteDvdHeading() { drawHeading("DVD loeschen"); }
void TitledScreen::drawEditDvdHeading() { drawHeading("DVD bearbeiten"); }
void TitledScreen::drawSearchHeading() { drawHeading("DVD - suchen"); }
void TitledScreen::drawSearchResultHeading() { drawHeading("DVD - Suchresultat"); }
void TitledScreen::drawLibraryListHeading() { drawHeading("DVD - Liste anzeigen"); }
void TitledScreen::drawLendHeading() { drawHeading("DVD ausleihen"); }
void TitledScreen::drawReturnHeading() { drawHeading("DVD retour"); }
void TitledScreen::drawRentalListHeading() { drawHeading("Verleih - Liste anzeigen"); }
void TitledScreen::drawRentalJournalHeading() { drawHeading("Verleih - Journal"); }
