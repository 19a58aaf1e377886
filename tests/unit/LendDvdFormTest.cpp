#include <cstdio>
#include <filesystem>
#include <string>

#include "DialogTestSupport.h"

namespace {

const char* const LIBRARY = "DVDBibliothek.csv";
const char* const RENTALS = "DVDVerleih.csv";

class LendDvdFormTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        writeFile(LIBRARY, "Action,Stirb langsam,Die Hard,131,\r\nDrama,Titanic,Titanic,194,\r\n");
    }
    void typeLending(const std::string& title, const std::string& surname, const std::string& firstName) {
        typist.field(title);
        typist.field(surname);
        typist.field(firstName);
    }
    bool showsEmptyForm() const {
        return trimmedRow(10) == "                    Titel:" && trimmedRow(12).empty() && trimmedRow(24).empty();
    }
};

TEST_F(LendDvdFormTest, F1AppendsOneLineAndStartsAnEmptyForm) {
    writeFile(RENTALS, "Titanic,Alt,Anna\r\n");
    typeLending("Stirb langsam", "Meier", "Hans");
    typist.f1();
    typist.escape();
    app->lendDvdForm();
    EXPECT_EQ(readFile(RENTALS), "Titanic,Alt,Anna\r\nStirb langsam,Meier,Hans\r\n");
    EXPECT_TRUE(showsEmptyForm());
    EXPECT_EQ(snapshot::compare("lend_dvd_empty_form", screen()), "");
    EXPECT_TRUE(scripted::state().sleeps.empty());
    EXPECT_TRUE(scriptUsedUp());
    EXPECT_EQ(app->library.recordCount(), 0);  // the title check has a library of its own
    EXPECT_EQ(app->rentals.recordCount(), 0);
}

TEST_F(LendDvdFormTest, SavePromptScreen) {
    typeLending("Titanic", "Meier", "Hans");
    typist.escape();
    app->lendDvdForm();
    EXPECT_EQ(snapshot::compare("lend_dvd_save_prompt", screen()), "");
    EXPECT_EQ(readFile(RENTALS), "<missing>");
}

TEST_F(LendDvdFormTest, SemicolonSavesAndF2OrLessThanDiscard) {
    typeLending("Titanic", "A", "a");
    typist.key(';');
    typeLending("Titanic", "B", "b");
    typist.f2();
    typeLending("Titanic", "C", "c");
    typist.key('<');
    typeLending("Titanic", "", "");
    typist.f1();
    typist.escape();
    app->lendDvdForm();
    // The same title twice; empty names are kept as empty fields.
    EXPECT_EQ(readFile(RENTALS), "Titanic,A,a\r\nTitanic,,\r\n");
}

TEST_F(LendDvdFormTest, TitlesNotInTheLibraryAreRefused) {
    typist.field("titanic");
    typist.field("Titanic ");
    typist.field("Die Hard");  // the English title
    typist.field("");
    typist.escape();
    duringEachMessage([this](int number) {
        EXPECT_EQ(textAt(20, 30, 21), "FILM NICHT VORHANDEN!");
        EXPECT_EQ(attributeAt(20, 30), 12);
        if (number == 1) {
            EXPECT_EQ(snapshot::compare("lend_dvd_not_found", screen()), "");
        }
    });
    app->lendDvdForm();
    EXPECT_EQ(scripted::state().sleeps.size(), 4u);
    EXPECT_TRUE(showsEmptyForm());
    EXPECT_EQ(readFile(RENTALS), "<missing>");
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(LendDvdFormTest, TheLibraryFileIsReadAgainForEveryTitle) {
    std::remove(LIBRARY);
    typist.field("Titanic");  // refused; then the file appears
    typeLending("Titanic", "Meier", "Hans");
    typist.f1();
    typist.escape();
    duringEachMessage([](int) { writeFile(LIBRARY, "Drama,Titanic,Titanic,194,\r\n"); });
    app->lendDvdForm();
    EXPECT_EQ(readFile(RENTALS), "Titanic,Meier,Hans\r\n");
    EXPECT_EQ(scripted::state().sleeps.size(), 1u);
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(LendDvdFormTest, EscapeInAnyFieldLeavesWithoutWriting) {
    for (int fieldsBefore = 0; fieldsBefore < 3; ++fieldsBefore) {
        scripted::reset();
        Operator op;
        const char* const texts[] = {"Titanic", "Meier", "Hans"};
        for (int i = 0; i < fieldsBefore; ++i) op.field(texts[i]);
        op.escape();
        op.f1();  // must not be read: the form has returned
        app->lendDvdForm();
        EXPECT_EQ(readFile(RENTALS), "<missing>");
        EXPECT_EQ(scripted::state().keys.size(), 2u) << fieldsBefore;
    }
}

TEST_F(LendDvdFormTest, CapitalStepLettersGoBackKeepingTheTitle) {
    typeLending("Titanic", "Alt", "Alt");
    typist.key('T');
    typist.field("Neu");
    typist.field("Neu");
    typist.key('E');
    typist.field("Neuer");
    typist.key('S');
    for (int code : {int{'t'}, int{'e'}, int{'x'}, 13}) typist.key(code);
    typist.f1();
    typist.escape();
    app->lendDvdForm();
    EXPECT_EQ(readFile(RENTALS), "Titanic,Neu,Neuer\r\n");
    EXPECT_TRUE(showsEmptyForm());
}

TEST_F(LendDvdFormTest, RedrawKeyStartsAFreshFormWithoutSaving) {
    typeLending("Titanic", "Meier", "Hans");
    typist.key('@');
    typist.escape();
    app->lendDvdForm();
    EXPECT_EQ(readFile(RENTALS), "<missing>");
    EXPECT_TRUE(showsEmptyForm());
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(LendDvdFormTest, AfterASaveTheNextTitleIsCheckedAgain) {
    typeLending("Titanic", "Meier", "Hans");
    typist.f1();
    typist.field("Matrix");
    typist.escape();
    app->lendDvdForm();
    EXPECT_EQ(scripted::state().sleeps.size(), 1u);
    EXPECT_EQ(readFile(RENTALS), "Titanic,Meier,Hans\r\n");
}

TEST_F(LendDvdFormTest, KeysTypedDuringTheRefusalCannotSaveTheRefusedTitle) {
    typist.field("Matrix");
    typist.duringMessage('T');  // straight to the surname
    typist.field("Meier");
    typist.field("Hans");
    typist.f1();  // the title is asked again instead
    typeLending("Titanic", "Meier", "Hans");
    typist.f1();
    typist.escape();
    app->lendDvdForm();
    EXPECT_EQ(readFile(RENTALS), "Titanic,Meier,Hans\r\n");
    EXPECT_EQ(scripted::state().sleeps.size(), 1u);
    EXPECT_TRUE(scriptUsedUp());
}

TEST_F(LendDvdFormTest, LabelsKeepTheirColourAfterTheRefusal) {
    typist.field("Matrix");
    typist.duringMessage('T');
    typist.escape();
    app->lendDvdForm();
    EXPECT_EQ(textAt(12, 20, 5), "Name:");
    EXPECT_EQ(attributeAt(12, 20), 14);
}

TEST_F(LendDvdFormTest, FailedSaveIsReportedAndTheLendingKept) {
    std::filesystem::create_directory(RENTALS);
    typeLending("Titanic", "Meier", "Hans");
    typist.f1();
    typist.f1();
    typist.escape();
    duringEachMessage([this](int) {
        EXPECT_EQ(textAt(20, 30, 25), "SPEICHERN FEHLGESCHLAGEN!");
        EXPECT_EQ(attributeAt(20, 30), 12);
        EXPECT_EQ(snapshot::compare("lend_dvd_save_failed", screen()), "");
        std::filesystem::remove(RENTALS);
    });
    app->lendDvdForm();
    EXPECT_EQ(scripted::state().sleeps, std::vector<int>{2500});
    EXPECT_EQ(readFile(RENTALS), "Titanic,Meier,Hans\r\n");
}

TEST_F(LendDvdFormTest, FailedSaveGoesBackToTheSavePrompt) {
    std::filesystem::create_directory(RENTALS);
    typeLending("Titanic", "Meier", "Hans");
    typist.f1();
    typist.escape();
    app->lendDvdForm();
    EXPECT_EQ(trimmedRow(20), "");
    EXPECT_EQ(textAt(26, 20, 18), "F2 Nicht Speichern");
    EXPECT_EQ(attributeAt(26, 20), 14);
    EXPECT_EQ(textAt(12, 40, 5), "Meier");
}

}  // namespace
