#pragma once
#include "console/ConsoleScreen.h"

// The title block every screen opens with: a white title on row 2 and a
// separator line of 80 cells on row 5.
class TitledScreen : public ConsoleScreen {
public:
    TitledScreen();

    void drawBanner();
    void drawLibraryHeading();
    void drawRentalHeading();
    void drawNewDvdHeading();
    void drawDeleteDvdHeading();
    void drawEditDvdHeading();
    void drawSearchHeading();
    void drawSearchResultHeading();
    void drawLibraryListHeading();
    void drawLendHeading();
    void drawReturnHeading();
    void drawRentalListHeading();
    void drawRentalJournalHeading();

    char lineChar;

private:
    void drawHeading(const char* title);
    void drawSeparator();
};
