#include <cstdio>
#include <string>

#include "DialogTestSupport.h"

namespace {

const char* const RENTALS = "DVDVerleih.csv";
const std::string A_B_A = "Titanic,Meier,Hans\r\nMatrix,Kurz,Karl\r\nTitanic,Lang,Lisa\r\n";

class ReturnDvdDialogTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        writeFile(RENTALS, A_B_A);
    }
};

TEST_F(ReturnDvdDialogTest, PromptScreen) {
    typist.escape();
    app->returnDvdDialog();
    EXPECT_EQ(snapshot::compare("return_dvd_prompt", screen()), "");
    EXPECT_EQ(readFile(RENTALS), A_B_A);
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(ReturnDvdDialogTest, JRemovesTheFirstLendingOfTheTitle) {
    typist.field("Titanic");
    typist.field("j");
    app->returnDvdDialog();
    EXPECT_EQ(snapshot::compare("return_dvd_confirm", screen()), "");
    EXPECT_EQ(readFile(RENTALS), "Matrix,Kurz,Karl\r\nTitanic,Lang,Lisa\r\n");
    EXPECT_EQ(app->rentals.recordCount(), 2);
    EXPECT_TRUE(scripted::state().sleeps.empty());
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(ReturnDvdDialogTest, ReturningTheOnlyLendingWithCapitalJLeavesAnEmptyFile) {
    writeFile(RENTALS, "Matrix,Kurz,Karl\r\n");
    typist.field("Matrix");
    typist.field("J");
    app->returnDvdDialog();
    EXPECT_EQ(readFile(RENTALS), "");
}

TEST_F(ReturnDvdDialogTest, EveryOtherAnswerLeavesTheFileUnchanged) {
    for (const std::string answer : {"n", "N", "", "x", "escape"}) {
        scripted::reset();
        Operator op;
        op.field("Matrix");
        if (answer == "escape") {
            op.escape();
        } else {
            op.field(answer);
        }
        app->returnDvdDialog();
        EXPECT_EQ(readFile(RENTALS), A_B_A) << answer;
        EXPECT_TRUE(scriptUsedUp()) << answer;
    }
}

TEST_F(ReturnDvdDialogTest, TypedWordEscapeAtThePromptLeaves) {
    typist.field("escape");
    typist.field("Matrix");
    app->returnDvdDialog();
    EXPECT_EQ(scripted::state().keys.size(), 7u);
    EXPECT_EQ(readFile(RENTALS), A_B_A);
}

TEST_F(ReturnDvdDialogTest, TitleInOtherCaseOrWithTrailingBlankIsNotFound) {
    typist.field("TITANIC");
    typist.field("Matrix ");
    typist.escape();
    duringEachMessage([this](int number) {
        EXPECT_EQ(textAt(20, 20, 38), "KEINEN FILM MIT DIESEM TITEL GEFUNDEN!");
        EXPECT_EQ(attributeAt(20, 20), 12);
        if (number == 1) {
            EXPECT_EQ(snapshot::compare("return_dvd_not_found", screen()), "");
        }
    });
    app->returnDvdDialog();
    EXPECT_EQ(scripted::state().sleeps, (std::vector<int>{2500, 2500}));
    EXPECT_EQ(textAt(10, 5, 43), "Titel des zurueckgegebenen Filmes eingeben:");
    EXPECT_EQ(readFile(RENTALS), A_B_A);
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(ReturnDvdDialogTest, QuestionOfAThirtyCharacterTitleEndsAtColumnSixty) {
    const std::string longTitle = "Der Herr der Ringe - Die Gefae";
    writeFile(RENTALS, longTitle + ",Meier,Hans\r\n");
    typist.field(longTitle);
    typist.field("n");
    app->returnDvdDialog();
    EXPECT_EQ(trimmedRow(20), "          Ist der Film " + longTitle + " retour?");
    EXPECT_EQ(trimmedRow(20).size(), 61u);
    EXPECT_EQ(attributeAt(20, 10), 14);
}

TEST_F(ReturnDvdDialogTest, KeysDuringTheMessageReplaceThePromptStep) {
    typist.field("Nichts");
    typist.duringMessage('x');  // waits, the message still shown
    typist.key(1);              // Ctrl+A: the same title again
    typist.duringMessage('@');
    typist.field("Titanic");
    typist.field("j");
    app->returnDvdDialog();
    EXPECT_EQ(scripted::state().sleeps, (std::vector<int>{2500, 2500}));
    EXPECT_EQ(readFile(RENTALS), "Matrix,Kurz,Karl\r\nTitanic,Lang,Lisa\r\n");
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(ReturnDvdDialogTest, EscapeWhileWaitingAfterTheMessageLeaves) {
    typist.field("Nichts");
    typist.duringMessage('q');
    typist.escape();
    app->returnDvdDialog();
    EXPECT_EQ(textAt(20, 20, 38), "KEINEN FILM MIT DIESEM TITEL GEFUNDEN!");
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(ReturnDvdDialogTest, WithoutARentalFileNothingIsFound) {
    std::remove(RENTALS);
    typist.field("Titanic");
    typist.escape();
    app->returnDvdDialog();
    EXPECT_EQ(scripted::state().sleeps.size(), 1u);
    EXPECT_EQ(readFile(RENTALS), "<missing>");
}

TEST_F(ReturnDvdDialogTest, FileChangedByAnotherWriterIsLeftAsItIsAndTheFailureShown) {
    const std::string changed = A_B_A + "Speed,Neu,Nina\r\n";
    typist.field("Nichts");
    typist.field("Titanic");
    typist.field("j");
    duringEachMessage([this, &changed](int number) {
        if (number == 1) writeFile(RENTALS, changed);
        if (number == 2) {
            EXPECT_EQ(textAt(24, 10, 25), "SPEICHERN FEHLGESCHLAGEN!");
            EXPECT_EQ(attributeAt(24, 10), 12);
            EXPECT_EQ(textAt(22, 10, 8), "[j/n]: j");
        }
    });
    app->returnDvdDialog();
    EXPECT_EQ(scripted::state().sleeps.size(), 2u);
    EXPECT_EQ(readFile(RENTALS), changed);
    EXPECT_TRUE(scriptUsedUp());
}

}  // namespace
