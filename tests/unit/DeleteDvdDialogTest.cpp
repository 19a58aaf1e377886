#include <cstdio>
#include <string>

#include "DialogTestSupport.h"

namespace {

const char* const LIBRARY = "DVDBibliothek.csv";
const std::string TWO_OF_A_TITLE =
    "Action,Stirb langsam,Die Hard,131,\r\n"
    "Drama,Titanic,Titanic,194,\r\n"
    "Komoedie,Stirb langsam,Other,90,\r\n"
    "Krimi,,Nameless,80,\r\n";

class DeleteDvdDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        writeFile(LIBRARY, TWO_OF_A_TITLE);
    }
};

TEST_F(DeleteDvdDialogTest, PromptScreen) {
    typist.escape();
    app->deleteDvdDialog();
    EXPECT_EQ(snapshot::compare("delete_dvd_prompt", screen()), "");
    EXPECT_EQ(app->cursorRow(), 10);
    EXPECT_EQ(app->cursorColumn(), 49);
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(DeleteDvdDialogTest, JDeletesTheFirstRecordOfTheTitleAndKeepsTheOrder) {
    typist.field("Stirb langsam");
    typist.field("j");
    app->deleteDvdDialog();
    EXPECT_EQ(snapshot::compare("delete_dvd_confirm", screen()), "");
    EXPECT_EQ(readFile(LIBRARY), "Drama,Titanic,Titanic,194,\r\nKomoedie,Stirb langsam,Other,90,\r\nKrimi,,Nameless,80,\r\n");
    EXPECT_TRUE(scriptUsedUp());
    EXPECT_TRUE(scripted::state().sleeps.empty());
}

TEST_F(DeleteDvdDialogTest, CapitalJDeletesAndAnEmptyTitleFindsAnEmptyTitle) {
    typist.field("");
    typist.field("J");
    app->deleteDvdDialog();
    EXPECT_EQ(textAt(20, 20, 23), "Soll  geloescht werden?");
    EXPECT_EQ(readFile(LIBRARY),
              "Action,Stirb langsam,Die Hard,131,\r\nDrama,Titanic,Titanic,194,\r\nKomoedie,Stirb langsam,Other,90,\r\n");
}

TEST_F(DeleteDvdDialogTest, EveryOtherAnswerLeavesTheFileUnchanged) {
    for (const std::string answer : {"n", "N", "", "x", "y"}) {
        scripted::reset();
        Operator op;
        op.field("Titanic");
        op.field(answer);
        app->deleteDvdDialog();
        EXPECT_EQ(readFile(LIBRARY), TWO_OF_A_TITLE) << answer;
        EXPECT_TRUE(scriptUsedUp()) << answer;
    }
    scripted::reset();
    Operator op;
    op.field("Titanic");
    op.escape();
    app->deleteDvdDialog();
    EXPECT_EQ(readFile(LIBRARY), TWO_OF_A_TITLE);
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(DeleteDvdDialogTest, TitleInOtherCaseOrWithTrailingBlankIsNotFound) {
    typist.field("titanic");
    typist.field("Titanic ");
    typist.escape();
    duringEachMessage([this](int number) {
        EXPECT_EQ(textAt(20, 20, 38), "KEINEN FILM MIT DIESEM TITEL GEFUNDEN!");
        EXPECT_EQ(attributeAt(20, 20), 12);
        if (number == 1) {
            EXPECT_EQ(snapshot::compare("delete_dvd_not_found", screen()), "");
        }
    });
    app->deleteDvdDialog();
    EXPECT_EQ(scripted::state().sleeps, (std::vector<int>{2500, 2500}));
    EXPECT_EQ(textAt(10, 15, 34), "Zu loeschender Filmtitel eingeben:");  // asked again
    EXPECT_EQ(readFile(LIBRARY), TWO_OF_A_TITLE);
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(DeleteDvdDialogTest, TitlesOfThirtyCharactersCanBeDeleted) {
    const std::string longTitle = "Der Herr der Ringe - Die Gefae";
    writeFile(LIBRARY, "Fantasy," + longTitle + ",The Lord of the Rings,178,\r\nDrama,Titanic,Titanic,194,\r\n");
    typist.field(longTitle);
    typist.field("j");
    app->deleteDvdDialog();
    EXPECT_EQ(trimmedRow(20), "                    Soll " + longTitle + " geloescht werden?");
    EXPECT_EQ(readFile(LIBRARY), "Drama,Titanic,Titanic,194,\r\n");
}

TEST_F(DeleteDvdDialogTest, KeysDuringTheMessageReplaceThePromptStep) {
    typist.field("Nichts");
    typist.duringMessage('x');  // waits, the message still shown
    typist.key(1);              // Ctrl+A: the same title again, the same message
    typist.duringMessage(7);
    typist.key('@');
    typist.field("Titanic");
    typist.field("j");
    app->deleteDvdDialog();
    EXPECT_EQ(scripted::state().sleeps, (std::vector<int>{2500, 2500}));
    EXPECT_EQ(readFile(LIBRARY),
              "Action,Stirb langsam,Die Hard,131,\r\nKomoedie,Stirb langsam,Other,90,\r\nKrimi,,Nameless,80,\r\n");
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(DeleteDvdDialogTest, EscapeWhileWaitingAfterTheMessageLeaves) {
    typist.field("Nichts");
    typist.duringMessage('q');
    typist.escape();
    app->deleteDvdDialog();
    EXPECT_EQ(textAt(20, 20, 38), "KEINEN FILM MIT DIESEM TITEL GEFUNDEN!");
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(DeleteDvdDialogTest, WithoutALibraryFileNothingIsFound) {
    std::remove(LIBRARY);
    typist.field("Titanic");
    typist.escape();
    app->deleteDvdDialog();
    EXPECT_EQ(scripted::state().sleeps.size(), 1u);
    EXPECT_EQ(readFile(LIBRARY), "<missing>");
}

TEST_F(DeleteDvdDialogTest, FileChangedByAnotherWriterIsLeftAsItIsAndTheFailureShown) {
    const std::string changed = TWO_OF_A_TITLE + "Neu,Neu,New,1,\r\n";
    typist.field("Nichts");
    typist.field("Titanic");
    typist.field("j");
    duringEachMessage([this, &changed](int number) {
        if (number == 1) writeFile(LIBRARY, changed);
        if (number == 2) {
            EXPECT_EQ(textAt(24, 20, 25), "SPEICHERN FEHLGESCHLAGEN!");
            EXPECT_EQ(attributeAt(24, 20), 12);
            EXPECT_EQ(textAt(22, 20, 8), "[j/n]: j");  // the question stays readable
        }
    });
    app->deleteDvdDialog();
    EXPECT_EQ(scripted::state().sleeps.size(), 2u);
    EXPECT_EQ(readFile(LIBRARY), changed);
    EXPECT_TRUE(scriptUsedUp());
}

}  // namespace
