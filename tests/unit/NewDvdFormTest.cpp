#include <filesystem>
#include <fstream>

#include "DialogTestSupport.h"

namespace {

class NewDvdFormTest : public DialogTest {
protected:
    void typeRecord(const std::string& genre, const std::string& german, const std::string& english,
                    const std::string& length) {
        typist.field(genre);
        typist.field(german);
        typist.field(english);
        typist.field(length);
    }
    bool showsEmptyForm() const {
        return trimmedRow(10) == "                    Film Art:" && trimmedRow(12).empty() &&
               trimmedRow(24).empty();
    }
};

const char* const LIBRARY = "DVDBibliothek.csv";

TEST_F(NewDvdFormTest, SavePromptScreen) {
    typeRecord("Action", "Stirb langsam", "Die Hard", "131");
    typist.escape();
    app->newDvdForm();
    EXPECT_EQ(snapshot::compare("new_dvd_save_prompt", screen()), "");
    EXPECT_EQ(attributeAt(16, 20), 14);
    EXPECT_EQ(attributeAt(16, 40), 15);
    EXPECT_EQ(readFile(LIBRARY), "<missing>");
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(NewDvdFormTest, F1AppendsOneLineAndStartsAnEmptyFormWithoutPausing) {
    writeFile(LIBRARY, "Drama,Titanic,Titanic,194,\r\n");
    typeRecord("Action", "Stirb langsam", "Die Hard", "131");
    typist.f1();
    typist.escape();
    app->newDvdForm();
    EXPECT_EQ(readFile(LIBRARY), "Drama,Titanic,Titanic,194,\r\nAction,Stirb langsam,Die Hard,131,\r\n");
    EXPECT_TRUE(showsEmptyForm());
    EXPECT_EQ(snapshot::compare("new_dvd_empty_form", screen()), "");
    // Waiting for keys blocks: no pause of any length between the keys.
    EXPECT_TRUE(scripted::state().sleeps.empty());
    EXPECT_TRUE(scriptUsedUp());
    EXPECT_EQ(app->library.recordCount(), 0);
}

TEST_F(NewDvdFormTest, SemicolonSavesLikeF1AndLessThanDiscardsLikeF2) {
    typeRecord("A", "B", "C", "1");
    typist.key(';');
    typeRecord("D", "E", "F", "2");
    typist.key('<');
    typeRecord("G", "H", "I", "3");
    typist.f2();
    typeRecord("J", "K", "L", "4");
    typist.f1();
    typist.escape();
    app->newDvdForm();
    EXPECT_EQ(readFile(LIBRARY), "A,B,C,1,\r\nJ,K,L,4,\r\n");
    EXPECT_TRUE(showsEmptyForm());
}

TEST_F(NewDvdFormTest, EscapeInAnyFieldLeavesWithoutWriting) {
    for (int fieldsBefore = 0; fieldsBefore < 4; ++fieldsBefore) {
        scripted::reset();
        Operator op;
        const char* const texts[] = {"Action", "Titel", "Title", "90"};
        for (int i = 0; i < fieldsBefore; ++i) op.field(texts[i]);
        op.escape();
        op.f1();  // must not be read: the form has returned
        app->newDvdForm();
        EXPECT_EQ(readFile(LIBRARY), "<missing>");
        EXPECT_EQ(scripted::state().keys.size(), 2u) << fieldsBefore;
        EXPECT_TRUE(scripted::state().sleeps.empty());  // "escape" is no length to check
    }
}

TEST_F(NewDvdFormTest, RefusedLengthShowsTheMessageAndAsksAgain) {
    typeRecord("Action", "Titel", "Title", "abc");
    typist.field("95");
    typist.f1();
    typist.escape();
    duringEachMessage([this](int) {
        EXPECT_EQ(textAt(30, 25, 27), "FALSCHE EINGABE DER LAENGE!");
        EXPECT_EQ(attributeAt(30, 25), 12);
        EXPECT_EQ(textAt(16, 40, 3), "   ");
        EXPECT_EQ(snapshot::compare("new_dvd_wrong_length", screen()), "");
    });
    app->newDvdForm();
    EXPECT_EQ(scripted::state().sleeps, std::vector<int>{2500});
    EXPECT_EQ(readFile(LIBRARY), "Action,Titel,Title,95,\r\n");
    EXPECT_TRUE(showsEmptyForm());
    EXPECT_EQ(trimmedRow(30), "");
}

TEST_F(NewDvdFormTest, EmptyTextsAreSavedButAnEmptyLengthIsRefused) {
    typeRecord("", "", "", "");
    typist.field("7");
    typist.f1();
    typist.escape();
    app->newDvdForm();
    EXPECT_EQ(scripted::state().sleeps.size(), 1u);
    EXPECT_EQ(readFile(LIBRARY), ",,,7,\r\n");
}

TEST_F(NewDvdFormTest, CapitalStepLettersGoBackKeepingTheOtherFields) {
    typeRecord("Action", "Alt", "Old", "90");
    typist.key('T');  // German title, then English title and length again
    typist.field("Neu");
    typist.field("New");
    typist.field("91");
    typist.key('E');  // English title and length
    typist.field("Newer");
    typist.field("92");
    typist.key('L');
    typist.field("93");
    typist.key('S');
    typist.key('t');  // lower case does nothing
    typist.f1();
    typist.escape();
    app->newDvdForm();
    EXPECT_EQ(readFile(LIBRARY), "Action,Neu,Newer,93,\r\n");
}

TEST_F(NewDvdFormTest, RedrawKeyStartsAFreshFormWithoutSaving) {
    typeRecord("Action", "Titel", "Title", "90");
    typist.key('@');
    typist.escape();
    app->newDvdForm();
    EXPECT_EQ(readFile(LIBRARY), "<missing>");
    EXPECT_TRUE(showsEmptyForm());
}

TEST_F(NewDvdFormTest, OtherKeysAtTheSavePromptDoNothing) {
    typeRecord("Action", "Titel", "Title", "90");
    for (int code : {int{'x'}, int{'f'}, int{'1'}, 13, 32, 8, 1, 200}) typist.key(code);
    typist.extendedKey(224, 72);  // arrow up gives 'H'
    typist.extendedKey(0, 61);    // F3
    typist.f1();
    typist.escape();
    app->newDvdForm();
    EXPECT_EQ(readFile(LIBRARY), "Action,Titel,Title,90,\r\n");
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(NewDvdFormTest, KeyTypedDuringTheLengthMessageReplacesTheStep) {
    typeRecord("Action", "Titel", "Title", "x");
    typist.duringMessage('S');  // straight to the save prompt
    typist.escape();
    app->newDvdForm();
    EXPECT_EQ(textAt(24, 20, 12), "F1 Speichern");
    EXPECT_EQ(attributeAt(24, 20), 14);
    EXPECT_EQ(trimmedRow(30), "");
    EXPECT_EQ(readFile(LIBRARY), "<missing>");
}

TEST_F(NewDvdFormTest, SaveAfterTheLengthMessageAsksForTheLengthFirst) {
    typeRecord("Action", "Titel", "Title", "--");
    typist.duringMessage('q');  // the form waits with no active field
    typist.key(';');            // the refused length is not saved
    typist.field("100");
    typist.f1();
    typist.escape();
    app->newDvdForm();
    EXPECT_EQ(readFile(LIBRARY), "Action,Titel,Title,100,\r\n");
    EXPECT_EQ(scripted::state().sleeps.size(), 1u);
}

TEST_F(NewDvdFormTest, FailedSaveIsReportedAndTheRecordKept) {
    std::filesystem::create_directory(LIBRARY);
    typeRecord("Action", "Titel", "Title", "90");
    typist.f1();
    typist.f1();
    typist.escape();
    duringEachMessage([this](int) {
        EXPECT_EQ(textAt(30, 25, 25), "SPEICHERN FEHLGESCHLAGEN!");
        EXPECT_EQ(attributeAt(30, 25), 12);
        std::filesystem::remove(LIBRARY);  // the operator makes room
    });
    app->newDvdForm();
    EXPECT_EQ(scripted::state().sleeps, std::vector<int>{2500});
    EXPECT_EQ(readFile(LIBRARY), "Action,Titel,Title,90,\r\n");
}

TEST_F(NewDvdFormTest, FailedSaveGoesBackToTheSavePrompt) {
    std::filesystem::create_directory(LIBRARY);
    typeRecord("Action", "Titel", "Title", "90");
    typist.f1();
    typist.escape();
    app->newDvdForm();
    EXPECT_EQ(trimmedRow(30), "");
    EXPECT_EQ(textAt(24, 20, 12), "F1 Speichern");
    EXPECT_EQ(attributeAt(24, 20), 14);
    EXPECT_EQ(textAt(12, 40, 5), "Titel");
}

TEST_F(NewDvdFormTest, CommasQuotesHighBytesAndFullFieldsAreSavedAsTyped) {
    typeRecord("Sci-Fi, Horror", "Der \"Pate\"", "\x84\x94\x81\xe1", "1234");
    typist.f1();
    typeRecord("GGGGGGGGGGGGGGGGGGGGXX", std::string(30, 'd') + "X", std::string(30, 'e'), "999");
    typist.f1();
    typist.escape();
    app->newDvdForm();
    EXPECT_EQ(readFile(LIBRARY), "\"Sci-Fi, Horror\",\"Der \"\"Pate\"\"\",\x84\x94\x81\xe1,123,\r\n"
                                 "GGGGGGGGGGGGGGGGGGGG," + std::string(30, 'd') + "," + std::string(30, 'e') +
                                 ",999,\r\n");
}

}  // namespace
