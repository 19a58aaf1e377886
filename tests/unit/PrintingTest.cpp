#include <sys/stat.h>

#include <filesystem>

#include "support/AppFixture.h"

namespace {

#if !defined(_WIN32)
// What a scenario folder cannot hold: special files under a data file's
// name. Printing must neither block on them nor read them; it sends nothing
// and says so.
class PrintingTest : public AppFixture {};

TEST_F(PrintingTest, SpecialFilesInTheDataFilesPlaceAreNoDataToPrint) {
    std::vector<std::string> messages;
    scripted::state().onSleep = [&](int) {
        std::string text;
        for (int column = 30; column < 54; ++column) text += static_cast<char>(app->cellAt(20, column).character);
        messages.push_back(text);
    };
    for (const char* name : {"DVDBibliothek.csv", "DVDVerleih.csv"}) {
        auto print = std::string(name) == "DVDVerleih.csv" ? &DvdApplication::printRentals : &DvdApplication::printLibrary;
        ASSERT_EQ(::mkfifo(name, 0600), 0);
        (app.get()->*print)();
        std::filesystem::remove(name);
        std::filesystem::create_symlink("/dev/zero", name);
        (app.get()->*print)();
        std::filesystem::remove(name);
    }
    EXPECT_EQ(messages, std::vector<std::string>(4, "KEINE DATEN ZUM DRUCKEN!"));
    for (const std::string& event : scripted::state().events) EXPECT_NE(event.rfind("print", 0), 0u) << event;
}
#endif

}  // namespace
