#include <cstdio>
#include <string>

#include "DialogTestSupport.h"

namespace {

const char* const LIBRARY = "DVDBibliothek.csv";
const std::string NINE_RECORDS =
    "Action,Stirb langsam,Die Hard,131,\r\n"
    "Drama,Titanic,Titanic,194,\r\n"
    "action,Klein,Small,1,\r\n"
    "Action ,Blank,Blank,2,\r\n"
    "Action,Matrix,The Matrix,136,\r\n"
    ",Ohne Art,No Type,50,\r\n"
    "Krimi,Sieben,Seven,127,\r\n"
    "Drama,Forrest Gump,Forrest Gump,142,\r\n"
    "Action,Speed,Speed,116,\r\n";

constexpr int EXTENDED = 224;
constexpr int HOME = 71, UP = 72, PAGE_UP = 73, END = 79, DOWN = 80, PAGE_DOWN = 81;

class SearchByGenreTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        writeFile(LIBRARY, NINE_RECORDS);
    }
};

TEST_F(SearchByGenreTest, HitsAreShownInFileOrderAndTheFileIsLeftAlone) {
    typist.field("Action");
    typist.escape();
    app->searchByGenre();
    EXPECT_EQ(snapshot::compare("search_results", screen()), "");
    EXPECT_EQ(trimmedRow(10), "  Action            Stirb langsam            Die Hard                 131");
    EXPECT_EQ(textAt(11, 20, 6), "Matrix");
    EXPECT_EQ(textAt(12, 20, 5), "Speed");
    EXPECT_EQ(trimmedRow(13), "");
    EXPECT_EQ(attributeAt(12, 70), 14);
    EXPECT_EQ(readFile(LIBRARY), NINE_RECORDS);
    EXPECT_TRUE(scriptUsedUp());
    EXPECT_TRUE(scripted::state().sleeps.empty());
}

TEST_F(SearchByGenreTest, PromptScreen) {
    typist.escape();
    app->searchByGenre();
    EXPECT_EQ(snapshot::compare("search_prompt", screen()), "");
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(SearchByGenreTest, OtherCaseOrATrailingBlankFindsNothing) {
    typist.field("ACTION");
    typist.field("Drama ");
    typist.escape();
    duringEachMessage([this](int number) {
        EXPECT_EQ(textAt(20, 30, 32), "KEINE FILME DIESER ART GEFUNDEN!");
        EXPECT_EQ(attributeAt(20, 30), 12);
        if (number == 1) {
            EXPECT_EQ(snapshot::compare("search_no_hits", screen()), "");
        }
    });
    app->searchByGenre();
    EXPECT_EQ(scripted::state().sleeps, (std::vector<int>{2500, 2500}));
    EXPECT_EQ(textAt(10, 15, 30), "Zu suchende Film Art eingeben:");
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(SearchByGenreTest, EmptySearchTextFindsTheRecordsWithoutFilmType) {
    typist.field("");
    typist.escape();
    app->searchByGenre();
    EXPECT_EQ(textAt(10, 20, 8), "Ohne Art");
    EXPECT_EQ(trimmedRow(11), "");
}

TEST_F(SearchByGenreTest, OtherKeysOnTheResultsChangeNothing) {
    typist.field("Krimi");
    for (int code : {int{'x'}, int{'2'}, 13, 8, int{'S'}}) typist.key(code);
    typist.f1();
    typist.extendedKey(EXTENDED, 83);  // Delete
    typist.escape();
    app->searchByGenre();
    EXPECT_EQ(textAt(10, 20, 6), "Sieben");
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(SearchByGenreTest, RedrawKeyAsksAgainAndCtrlASearchesAgain) {
    typist.field("Krimi");
    typist.key('@');
    typist.field("Western");
    typist.duringMessage(1);  // the same search again: the same message
    typist.duringMessage('@');
    typist.field("Drama");
    typist.key(1);
    typist.escape();
    app->searchByGenre();
    EXPECT_EQ(scripted::state().sleeps.size(), 2u);
    EXPECT_EQ(textAt(11, 20, 12), "Forrest Gump");
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(SearchByGenreTest, OtherKeyDuringTheMessageWaitsWithTheMessageShown) {
    typist.field("Western");
    typist.duringMessage('z');
    typist.escape();
    app->searchByGenre();
    EXPECT_EQ(textAt(20, 30, 32), "KEINE FILME DIESER ART GEFUNDEN!");
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(SearchByGenreTest, WithoutALibraryFileNothingIsFound) {
    std::remove(LIBRARY);
    typist.field("Action");
    typist.escape();
    app->searchByGenre();
    EXPECT_EQ(scripted::state().sleeps.size(), 1u);
}

TEST_F(SearchByGenreTest, LongValuesAndControlBytesStayOnTheirRow) {
    writeFile(LIBRARY,
              "GGGGGGGGGGGGGGGGGGGG,AB,English,123456789012345678,\r\n"
              "GGGGGGGGGGGGGGGGGGGG,T\tab\x01\x1b,E\rx," + std::string(200, 'L') + ",\r\n");
    typist.field("GGGGGGGGGGGGGGGGGGGG");
    typist.escape();
    app->searchByGenre();
    // The film type loses its last two characters to the German title.
    EXPECT_EQ(textAt(10, 2, 20), "GGGGGGGGGGGGGGGGGGAB");
    EXPECT_EQ(textAt(10, 70, 10), "1234567890");
    EXPECT_EQ(textAt(11, 20, 6), "T\tab\x01\x1b");
    EXPECT_EQ(textAt(11, 45, 3), "E\rx");
    EXPECT_EQ(textAt(11, 70, 10), std::string(10, 'L'));
    EXPECT_EQ(trimmedRow(12), "");
    EXPECT_EQ(textAt(11, 0, 2), "  ");
}

class SearchScrollTest : public SearchByGenreTest {
protected:
    void SetUp() override {
        SearchByGenreTest::SetUp();
        std::string manyHits;
        for (int i = 0; i < 60; ++i) manyHits += "Serie,Folge " + std::to_string(i) + ",Episode,45,\r\n";
        writeFile(LIBRARY, manyHits);
        scripted::state().size = {80, 24};
    }
    // The top row of the view after the results were shown and the keys typed.
    int viewTopAfter(std::initializer_list<int> codes) {
        scripted::reset();
        scripted::state().size = {80, 24};
        Operator op;
        op.field("Serie");
        for (int code : codes) op.key(code);
        op.escape();
        app->searchByGenre();
        EXPECT_TRUE(scriptUsedUp());
        return app->viewTopRow();
    }
};

TEST_F(SearchScrollTest, ResultsLongerThanTheWindowOpenAtTheHeading) {
    EXPECT_EQ(viewTopAfter({}), 0);
    EXPECT_EQ(textAt(69, 20, 8), "Folge 59");
}

TEST_F(SearchScrollTest, PageArrowHomeAndEndKeysScroll) {
    const int lastTop = 70 - 24;
    EXPECT_EQ(viewTopAfter({EXTENDED, PAGE_DOWN}), 23);
    EXPECT_EQ(viewTopAfter({EXTENDED, PAGE_DOWN, EXTENDED, DOWN, 0, DOWN}), 25);
    EXPECT_EQ(viewTopAfter({EXTENDED, PAGE_DOWN, EXTENDED, PAGE_DOWN, EXTENDED, PAGE_UP, EXTENDED, UP}), 22);
    EXPECT_EQ(viewTopAfter({EXTENDED, END}), lastTop);
    EXPECT_EQ(viewTopAfter({EXTENDED, END, EXTENDED, PAGE_DOWN}), lastTop);
    EXPECT_EQ(viewTopAfter({EXTENDED, END, EXTENDED, HOME, EXTENDED, UP}), 0);
}

TEST_F(SearchScrollTest, ScrollingWorksAfterAnOtherKeyAndOtherExtendedKeysActAsTheirCode) {
    // 'x', then Delete ('S') and F3 ('='): idle, as before.
    EXPECT_EQ(viewTopAfter({'x', EXTENDED, PAGE_DOWN, EXTENDED, 83, 0, 61}), 23);
    // F6 gives '@' as its second code, as it always did: a new search.
    EXPECT_EQ(viewTopAfter({EXTENDED, PAGE_DOWN, 0, '@'}), 0);
    EXPECT_EQ(textAt(10, 15, 30), "Zu suchende Film Art eingeben:");
}

}  // namespace
