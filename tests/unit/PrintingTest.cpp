#include <sys/stat.h>

#include <algorithm>
#include <functional>

#include "console/Colors.h"
#include "console/Keys.h"
#include "support/AppFixture.h"
#include "support/ScreenSnapshot.h"

namespace {

struct PrintSide {
    const char* fileName;
    const char* title;
    const char* record;  // one line of the file, CP850 "Ä"
    void (DvdApplication::*print)();
    int (DvdApplication::*menu)();
    char menuKey;
    const char* menuSnapshot;
};

const PrintSide LIBRARY{"DVDBibliothek.csv", "DVD - Liste", "Drama,\x8e,Over,100,\r\n", &DvdApplication::printLibrary,
                        &DvdApplication::libraryMenu, '5', "library_menu"};
const PrintSide RENTALS{"DVDVerleih.csv", "Verleih - Liste", "\x8e,Name,Vorname\r\n", &DvdApplication::printRentals,
                        &DvdApplication::rentalMenu, '4', "rental_menu"};

constexpr int MESSAGE_ROW = 20;
constexpr int MESSAGE_COLUMN = 30;
constexpr int REASON_ROW = 22;

// Printing from the menu, against the scripted platform, which records the
// job and answers as told; the job's layout is checked byte for byte by the
// printer tests.
class PrintingTest : public AppFixture, public ::testing::WithParamInterface<PrintSide> {
protected:
    void print() { (app.get()->*GetParam().print)(); }

    // The message seen during the pause, its colour, and the row below.
    struct Shown {
        std::string message;
        int colour = 0;
        std::string reason;
    };
    Shown printAndWatch() {
        Shown shown;
        scripted::state().onSleep = [&](int) {
            shown.message = textAt(MESSAGE_ROW, MESSAGE_COLUMN, 24);
            shown.message.erase(shown.message.find_last_not_of(' ') + 1);
            shown.colour = attributeAt(MESSAGE_ROW, MESSAGE_COLUMN);
            shown.reason = trimmedRow(REASON_ROW);
        };
        print();
        EXPECT_EQ(scripted::state().sleeps, std::vector<int>{2500});
        return shown;
    }
};

TEST_P(PrintingTest, AcceptedJobIsTheFormattedListTitledWithItsName) {
    writeFile(GetParam().fileName, GetParam().record);
    const Shown shown = printAndWatch();
    ASSERT_EQ(scripted::state().printRequests.size(), 1u);
    const scripted::PrintRequest& job = scripted::state().printRequests[0];
    EXPECT_EQ(job.title, GetParam().title);
    EXPECT_EQ(job.text.rfind("  " + std::string(GetParam().title) + "   07.12.2026", 0), 0u) << job.text;
    EXPECT_NE(job.text.find("  \xc3\x84 "), std::string::npos) << "the record in UTF-8: " << job.text;
    EXPECT_EQ(shown.message, "DRUCKAUFTRAG ANGENOMMEN");
    EXPECT_EQ(shown.colour, colors::LIGHT_RED);
}

// Whatever stands under the file's name, nothing is read that the list
// screen would not read, nothing blocks, and nothing is sent.
TEST_P(PrintingTest, NoRecordsToPrintSaysSoWithoutAJob) {
    const std::string name = GetParam().fileName;
    const std::vector<std::pair<std::string, std::function<void()>>> cases = {
        {"missing", [] {}},
        {"empty", [&] { writeFile(name, ""); }},
        {"directory", [&] { std::filesystem::create_directory(name); }},
#if !defined(_WIN32)
        {"FIFO", [&] { ASSERT_EQ(::mkfifo(name.c_str(), 0600), 0); }},
        {"link to /dev/zero", [&] { std::filesystem::create_symlink("/dev/zero", name); }},
#endif
    };
    for (const auto& [label, prepare] : cases) {
        SCOPED_TRACE(label);
        std::filesystem::remove_all(name);
        prepare();
        scripted::state().sleeps.clear();
        app->clearScreen();
        const Shown shown = printAndWatch();
        EXPECT_TRUE(scripted::state().printRequests.empty());
        EXPECT_EQ(shown.message, "KEINE DATEN ZUM DRUCKEN!");
        EXPECT_EQ(shown.colour, colors::LIGHT_RED);
    }
}

TEST_P(PrintingTest, FailedJobShowsTheFirstErrorLineInCodePage850CutAtTheEdge) {
    writeFile(GetParam().fileName, GetParam().record);
    scripted::state().printSucceeds = false;
    // "lp: Drucker „Büro“ nicht verfügbar" and more than a row holds.
    scripted::state().printFailureReason =
        "lp: Drucker \xe2\x80\x9e" "B\xc3\xbcro\xe2\x80\x9c nicht verf\xc3\xbc" "gbar " + std::string(60, '-') + "|";
    const Shown shown = printAndWatch();
    EXPECT_EQ(scripted::state().printRequests.size(), 1u);
    EXPECT_EQ(shown.message, "DRUCKEN FEHLGESCHLAGEN!");
    EXPECT_EQ(shown.colour, colors::LIGHT_RED);
    EXPECT_EQ(shown.reason, "lp: Drucker ?B\x81ro? nicht verf\x81gbar " + std::string(80 - 35, '-'));
}

TEST_P(PrintingTest, MenuIsDrawnAgainAfterPrintingEvenWhenRefused) {
    writeFile(GetParam().fileName, GetParam().record);
    scripted::state().printSucceeds = false;
    scripted::typeKey(GetParam().menuKey);
    scripted::typeKey(GetParam().menuKey);
    scripted::typeKey(keys::ESCAPE);
    (app.get()->*GetParam().menu)();
    EXPECT_EQ(scripted::state().printRequests.size(), 2u);
    EXPECT_EQ(snapshot::compare(GetParam().menuSnapshot, snapshot::render(*app)), "");
    EXPECT_TRUE(scripted::state().keys.empty());
}

INSTANTIATE_TEST_SUITE_P(BothLists, PrintingTest, ::testing::Values(LIBRARY, RENTALS),
                         [](const auto& info) { return std::string(info.param.menuSnapshot); });

}  // namespace
