#include "support/AppFixture.h"
#include "support/ListTestSupport.h"
#include "support/ScreenSnapshot.h"

namespace {

using namespace listtest;

const char* const LIBRARY_FILE = "DVDBibliothek.csv";

std::string libraryLine(const std::string& genre, const std::string& german, const std::string& english,
                        const std::string& length) {
    return genre + "," + german + "," + english + "," + length + ",\r\n";
}

std::string numberedLibrary(int count) {
    std::string lines;
    for (int i = 0; i < count; ++i)
        lines += libraryLine("Art " + std::to_string(i), "Titel " + std::to_string(i), "Title", std::to_string(i % 240));
    return lines;
}

// Three records; the second with code page 850 umlauts (Komoedie, Die Faelscher, Zuerich).
const std::string THREE_RECORDS = libraryLine("Drama", "Der Pate", "The Godfather", "175") +
                                  libraryLine("Kom\x94" "die", "Die F\x84lscher", "Z\x81rich", "98") +
                                  libraryLine("Science Fiction", "Alien", "Alien", "117");

class LibraryListTest : public AppFixture {};

TEST_F(LibraryListTest, EmptyLibraryShowsHeadingAndLabelsOnlyUntilEscape) {
    scripted::typeKeys("\x1b" "1");
    app->listLibrary();
    EXPECT_EQ(snapshot::compare("library_list_empty", snapshot::render(*app)), "");
    for (int row = 8; row < 49; ++row) EXPECT_EQ(trimmedRow(row), "") << row;
    ASSERT_EQ(scripted::state().keys.size(), 1u);
    EXPECT_EQ(scripted::state().keys.front().code, '1');
}

TEST_F(LibraryListTest, RecordsStandOnRowsFromTenInFileOrder) {
    writeFile(LIBRARY_FILE, THREE_RECORDS);
    scripted::typeKey(27);
    app->listLibrary();
    EXPECT_EQ(snapshot::compare("library_list_three", snapshot::render(*app)), "");
    EXPECT_EQ(textAt(11, 2, 7), "Kom\x94" "die");
    EXPECT_EQ(textAt(11, 20, 13), "Die F\x84lscher ");
    EXPECT_EQ(textAt(11, 45, 6), "Z\x81rich");
    EXPECT_EQ(textAt(11, 70, 2), "98");
    EXPECT_EQ(attributeAt(12, 70), 14);
    EXPECT_EQ(trimmedRow(13), "");
}

TEST_F(LibraryListTest, LongValuesAreOverwrittenByTheNextAndCutAtTheRightEdge) {
    writeFile(LIBRARY_FILE, libraryLine(std::string(30, 'g'), "Titel", std::string(30, 'e'), "90") +
                                libraryLine("Kurz", "Titel", "Title", "1234567890123") +
                                libraryLine("Riesig", "Titel", std::string(100000, 'x'), "5"));
    scripted::typeKey(27);
    app->listLibrary();
    EXPECT_EQ(textAt(10, 2, 30), std::string(18, 'g') + "Titel" + std::string(7, 'g'));
    EXPECT_EQ(textAt(10, 45, 30), std::string(25, 'e') + "90" + "eee");
    EXPECT_EQ(textAt(11, 70, 10), "1234567890");
    EXPECT_EQ(textAt(12, 45, 35), std::string(25, 'x') + "5" + std::string(9, 'x'));
    EXPECT_EQ(trimmedRow(13), "");
    EXPECT_EQ(app->bufferRowCount(), 49);
}

TEST_F(LibraryListTest, RedrawRepaintsWhatWasLoadedWithoutClearingOrReloading) {
    writeFile(LIBRARY_FILE, THREE_RECORDS);
    // The list clears the screen in the colour in force; a second clearing would
    // leave the blank cells in the list's yellow.
    app->setColor(7, 0);
    scripted::typeKey('@');
    scripted::typeKey(27);
    {
        ScreenWriteTap tap([] { writeFile(LIBRARY_FILE, libraryLine("Neu", "Neu", "New", "1")); });
        app->listLibrary();
        EXPECT_EQ(tap.timesWritten("DVD - Liste anzeigen"), 2);
    }
    EXPECT_EQ(snapshot::compare("library_list_three", snapshot::render(*app)), "");
    EXPECT_EQ(attributeAt(30, 0), 7);
    EXPECT_EQ(app->library.recordCount(), 3);

    scripted::typeKey(27);
    app->listLibrary();
    EXPECT_EQ(textAt(10, 2, 4), "Neu ");
}

TEST_F(LibraryListTest, OtherKeysIncludingFunctionKeysDoNothing) {
    writeFile(LIBRARY_FILE, THREE_RECORDS);
    scripted::typeKeys("0123456789aZj;< \r\t\x01");
    scripted::typeF1();
    scripted::typeF2();
    for (int code : {224, 133, 224, 82, 0, 64}) scripted::typeKey(code);  // F11, Insert, 0 then '@'
    scripted::typeKey(27);
    ScreenWriteTap tap;
    app->listLibrary();
    EXPECT_EQ(tap.timesWritten("DVD - Liste anzeigen"), 1);
    EXPECT_EQ(snapshot::compare("library_list_three", snapshot::render(*app)), "");
    EXPECT_TRUE(scripted::state().keys.empty());
    EXPECT_EQ(scripted::state().keysReadAfterScriptEnd, 0);
    EXPECT_EQ(app->viewTopRow(), 0);
}

TEST_F(LibraryListTest, CursorBlockScrollsAFullStoreOnASmallTerminal) {
    scripted::state().size = {80, 24};
    writeFile(LIBRARY_FILE, numberedLibrary(1999));
    EXPECT_EQ(viewTopAfter(*app, &DvdApplication::listLibrary, {}), 0);
    EXPECT_EQ(textAt(10, 2, 6), "Art 0 ");
    EXPECT_EQ(textAt(2008, 2, 9), "Art 1998 ");
    EXPECT_EQ(textAt(2008, 20, 10), "Titel 1998");
    EXPECT_EQ(trimmedRow(8), "");
    ASSERT_EQ(app->bufferRowCount(), 2009);
    const int bottom = 2009 - 24;

    const struct {
        std::initializer_list<int> keys;
        int expectedTop;
    } cases[] = {
        {{224, PAGE_DOWN}, 23},
        {{224, PAGE_DOWN, 224, PAGE_DOWN}, 46},
        {{224, PAGE_DOWN, 224, DOWN}, 24},
        {{224, PAGE_DOWN, 224, DOWN, 224, UP}, 23},
        {{224, PAGE_DOWN, 224, PAGE_DOWN, 224, PAGE_UP}, 23},
        {{224, UP}, 0},
        {{224, PAGE_UP}, 0},
        {{224, END}, bottom},
        {{224, END, 224, DOWN}, bottom},
        {{224, END, 224, PAGE_DOWN}, bottom},
        {{224, END, 224, PAGE_UP}, bottom - 23},
        {{224, END, 224, HOME}, 0},
        {{224, END, '@'}, 0},                       // a redraw opens at the top again
        {{0, PAGE_DOWN}, 23},                       // the numeric keypad's PgDn
        {{PAGE_DOWN, END, DOWN}, 0},                // 'Q', 'O', 'P' typed plainly
    };
    for (const auto& step : cases) {
        EXPECT_EQ(viewTopAfter(*app, &DvdApplication::listLibrary, step.keys), step.expectedTop)
            << "keys " << ::testing::PrintToString(std::vector<int>(step.keys));
        EXPECT_TRUE(scripted::state().keys.empty());
    }
}

TEST_F(LibraryListTest, FileLongerThanTheStoreSaysHowManyRecordsAreNotShown) {
    writeFile(LIBRARY_FILE, numberedLibrary(2100));
    scripted::typeKeys("@\x1b");
    app->listLibrary();
    EXPECT_EQ(trimmedRow(8), "  101 WEITERE EINTRAEGE DER DATEI NICHT ANGEZEIGT!");
    EXPECT_EQ(attributeAt(8, 2), 12);
    EXPECT_EQ(attributeAt(10, 2), 14);
    EXPECT_EQ(textAt(2008, 2, 9), "Art 1998 ");
    EXPECT_EQ(trimmedRow(2009), "");

    writeFile(LIBRARY_FILE, numberedLibrary(2000));
    scripted::typeKey(27);
    app->listLibrary();
    EXPECT_EQ(trimmedRow(8), "  1 WEITERER EINTRAG DER DATEI NICHT ANGEZEIGT!");
}

TEST_F(LibraryListTest, ControlBytesAndOddLinesKeepEveryRecordOnItsRow) {
    writeFile(LIBRARY_FILE, libraryLine("\x1b[2J\x07", "\x08\x08\x08Titel\r", "\t\x0b\x0c", "\x7f\x9b") +
                                "Nur Art\r\n" + "a,b,c,d,e,f,\r\n" + libraryLine("Drama", "Ende", "End", "99"));
    scripted::typeKey(27);
    app->listLibrary();
    EXPECT_EQ(textAt(10, 2, 5), "\x1b[2J\x07");
    EXPECT_EQ(textAt(10, 20, 9), "\x08\x08\x08Titel\r");
    EXPECT_EQ(textAt(10, 45, 3), "\t\x0b\x0c");
    EXPECT_EQ(textAt(10, 70, 2), "\x7f\x9b");
    EXPECT_EQ(trimmedRow(11), "  Nur Art");
    EXPECT_EQ(trimmedRow(12), "  a" + std::string(17, ' ') + "b" + std::string(24, ' ') + "c" +
                                  std::string(24, ' ') + "d");
    EXPECT_EQ(textAt(13, 2, 5), "Drama");
    EXPECT_EQ(trimmedRow(14), "");
    EXPECT_EQ(app->bufferRowCount(), 49);
}

}  // namespace
