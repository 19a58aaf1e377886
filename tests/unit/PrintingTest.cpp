#include "support/AppFixture.h"
#include "support/ScreenSnapshot.h"

namespace {

struct PrintSide {
    const char* fileName;
    void (DvdApplication::*print)();
    int (DvdApplication::*menu)();
    char menuKey;
    const char* menuSnapshot;
};

const PrintSide LIBRARY{"DVDBibliothek.csv", &DvdApplication::printLibrary, &DvdApplication::libraryMenu, '5',
                        "library_menu"};
const PrintSide RENTALS{"DVDVerleih.csv", &DvdApplication::printRentals, &DvdApplication::rentalMenu, '4',
                        "rental_menu"};

class PrintingTest : public AppFixture, public ::testing::WithParamInterface<PrintSide> {
protected:
    void print() { (app.get()->*GetParam().print)(); }
    bool screenIsBlank() const {
        for (int row = 0; row < 49; ++row)
            if (!trimmedRow(row).empty()) return false;
        return true;
    }
};

TEST_P(PrintingTest, HandsTheDataFileToThePrinterAndReturnsAtOnce) {
    writeFile(GetParam().fileName, "a,b,c,\r\n");
    print();
    ASSERT_EQ(scripted::state().printRequests.size(), 1u);
    EXPECT_EQ(scripted::state().printRequests[0].fileName, GetParam().fileName);
    EXPECT_TRUE(scripted::state().sleeps.empty());
    EXPECT_TRUE(screenIsBlank());
}

TEST_P(PrintingTest, MissingFileReturnsSilentlyWithoutAPrintJob) {
    scripted::state().printSucceeds = false;
    print();
    EXPECT_TRUE(scripted::state().printRequests.empty());
    EXPECT_TRUE(scripted::state().sleeps.empty());
    EXPECT_TRUE(screenIsBlank());
}

TEST_P(PrintingTest, RefusedJobIsShownInLightRedFor2500Milliseconds) {
    writeFile(GetParam().fileName, "");
    scripted::state().printSucceeds = false;
    std::string shown;
    int colour = 0;
    scripted::state().onSleep = [&](int) {
        shown = textAt(20, 30, 23);
        colour = attributeAt(20, 30);
    };
    print();
    EXPECT_EQ(scripted::state().printRequests.size(), 1u);
    EXPECT_EQ(shown, "DRUCKEN FEHLGESCHLAGEN!");
    EXPECT_EQ(colour, 12);
    EXPECT_EQ(scripted::state().sleeps, std::vector<int>{2500});
}

TEST_P(PrintingTest, MenuIsDrawnAgainAfterPrintingEvenWhenRefused) {
    writeFile(GetParam().fileName, "a,b,c,\r\n");
    scripted::state().printSucceeds = false;
    scripted::typeKey(GetParam().menuKey);
    scripted::typeKey(GetParam().menuKey);
    scripted::typeKey(27);
    (app.get()->*GetParam().menu)();
    EXPECT_EQ(scripted::state().printRequests.size(), 2u);
    EXPECT_EQ(snapshot::compare(GetParam().menuSnapshot, snapshot::render(*app)), "");
    EXPECT_TRUE(scripted::state().keys.empty());
}

INSTANTIATE_TEST_SUITE_P(BothLists, PrintingTest, ::testing::Values(LIBRARY, RENTALS),
                         [](const auto& info) { return std::string(info.param.menuSnapshot); });

}  // namespace
