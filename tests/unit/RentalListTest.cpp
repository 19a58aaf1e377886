#include "support/AppFixture.h"
#include "support/ListTestSupport.h"
#include "support/ScreenSnapshot.h"

namespace {

using namespace listtest;

const char* const RENTAL_FILE = "DVDVerleih.csv";

std::string rentalLine(const std::string& title, const std::string& surname, const std::string& firstName) {
    return title + "," + surname + "," + firstName + "\r\n";
}

std::string numberedRentals(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i) lines += rentalLine("Titel " + std::to_string(i), "Name", "Vorname");
    return lines;
}

// Three lendings; "Alien" is lent twice, and the surname has a code page 850 umlaut (Mueller).
const std::string THREE_LENDINGS = rentalLine("Alien", "M\x81ller", "Hans") +
                                   rentalLine("Der Pate", "Meier", "Anna") + rentalLine("Alien", "Huber", "Eva");

class RentalListTest : public AppFixture {};

TEST_F(RentalListTest, NoLendingsShowsHeadingAndLabelsOnlyUntilEscape) {
    scripted::typeKeys("\x1b" "3");
    app->listRentals();
    EXPECT_EQ(snapshot::compare("rental_list_empty", snapshot::render(*app)), "");
    for (int row = 8; row < 49; ++row) EXPECT_EQ(trimmedRow(row), "") << row;
    ASSERT_EQ(scripted::state().keys.size(), 1u);
    EXPECT_EQ(scripted::state().keys.front().code, '3');
}

TEST_F(RentalListTest, LendingsStandOnRowsFromTenInFileOrderATitleLentTwiceTwice) {
    writeFile(RENTAL_FILE, THREE_LENDINGS);
    scripted::typeKey(27);
    app->listRentals();
    EXPECT_EQ(snapshot::compare("rental_list_three", snapshot::render(*app)), "");
    EXPECT_EQ(textAt(10, 2, 6), "Alien ");
    EXPECT_EQ(textAt(10, 35, 7), "M\x81ller ");
    EXPECT_EQ(textAt(12, 2, 6), "Alien ");
    EXPECT_EQ(textAt(12, 50, 4), "Eva ");
    EXPECT_EQ(attributeAt(12, 50), 14);
    EXPECT_EQ(trimmedRow(13), "");
}

TEST_F(RentalListTest, LongValuesAndControlBytesKeepEveryLendingOnItsRow) {
    writeFile(RENTAL_FILE, rentalLine(std::string(40, 't'), "Zwanzigzeichenname20", "Maria") +
                               rentalLine("Kurz", "Name", std::string(40, 'v')) +
                               rentalLine("\x1b]0;x\x07", "\x08\x08\r", "\x9b" "2J\x7f") + "a,b,c,d,e\r\n");
    scripted::typeKey(27);
    app->listRentals();
    EXPECT_EQ(textAt(10, 2, 35), std::string(33, 't') + "Zw");
    EXPECT_EQ(textAt(10, 35, 21), "Zwanzigzeichenn" "Maria ");
    EXPECT_EQ(textAt(11, 50, 30), std::string(30, 'v'));
    EXPECT_EQ(textAt(12, 2, 6), "\x1b]0;x\x07");
    EXPECT_EQ(textAt(12, 35, 3), "\x08\x08\r");
    EXPECT_EQ(textAt(12, 50, 4), "\x9b" "2J\x7f");
    EXPECT_EQ(trimmedRow(13), "  a" + std::string(32, ' ') + "b" + std::string(14, ' ') + "c");
    EXPECT_EQ(trimmedRow(14), "");
    EXPECT_EQ(app->bufferRowCount(), 49);
}

TEST_F(RentalListTest, RedrawRepaintsWhatWasLoadedWithoutClearingOrReloading) {
    writeFile(RENTAL_FILE, THREE_LENDINGS);
    app->setColor(7, 0);  // a second clearing would leave the blank cells yellow
    scripted::typeKey('@');
    scripted::typeKey(27);
    {
        ScreenWriteTap tap([] { writeFile(RENTAL_FILE, rentalLine("Neu", "Neu", "Neu")); });
        app->listRentals();
        EXPECT_EQ(tap.timesWritten("Verleih - Liste anzeigen"), 2);
    }
    EXPECT_EQ(snapshot::compare("rental_list_three", snapshot::render(*app)), "");
    EXPECT_EQ(attributeAt(30, 0), 7);
    EXPECT_EQ(app->rentals.recordCount(), 3);
}

TEST_F(RentalListTest, OtherKeysDoNothingAndTheCursorBlockScrolls) {
    scripted::state().size = {80, 24};
    writeFile(RENTAL_FILE, numberedRentals(100));
    scripted::typeKeys("0123456789aZ;< \r");
    scripted::typeF1();
    scripted::typeF2();
    scripted::typeKey(27);
    ScreenWriteTap tap;
    app->listRentals();
    EXPECT_EQ(tap.timesWritten("Verleih - Liste anzeigen"), 1);
    EXPECT_TRUE(scripted::state().keys.empty());
    EXPECT_EQ(app->viewTopRow(), 0);
    EXPECT_EQ(textAt(109, 2, 9), "Titel 99 ");
    ASSERT_EQ(app->bufferRowCount(), 110);

    EXPECT_EQ(viewTopAfter(*app, &DvdApplication::listRentals, {224, END}), 110 - 24);
    EXPECT_EQ(viewTopAfter(*app, &DvdApplication::listRentals, {224, END, 224, HOME}), 0);
}

TEST_F(RentalListTest, FileLongerThanTheStoreSaysHowManyLendingsAreNotShown) {
    writeFile(RENTAL_FILE, numberedRentals(2100));
    scripted::typeKeys("@\x1b");
    app->listRentals();
    EXPECT_EQ(trimmedRow(8), "  101 WEITERE EINTRAEGE DER DATEI NICHT ANGEZEIGT!");
    EXPECT_EQ(attributeAt(8, 2), 12);
    EXPECT_EQ(attributeAt(10, 2), 14);
    EXPECT_EQ(textAt(2008, 2, 11), "Titel 1998 ");
    EXPECT_EQ(trimmedRow(2009), "");
}

}  // namespace
