#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

#include "app/ListColumns.h"
#include "library/DvdLibrary.h"
#include "platform/Platform.h"
#include "rental/RentalRegister.h"
#include "support/TestTime.h"

namespace {

namespace fs = std::filesystem;

constexpr platform::CalendarDate PRINT_DATE{2026, 12, 7};

// The terminal's print path against the stand-in lp (tests/e2e/fake-lp),
// which is put first on PATH and records its arguments and the job.
class LpPrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The terminal platform ignores SIGPIPE when it opens; lp must not
        // inherit that, and the program must survive an lp that goes away.
        previousSigpipe = std::signal(SIGPIPE, SIG_IGN);
        previousDirectory = fs::current_path();
        std::string pattern = (fs::temp_directory_path() / "dvd-printer-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directories(root / "bin");
        fs::create_directories(root / "log");
        fs::create_symlink(FAKE_LP, root / "bin" / "lp");
        fs::current_path(root);
        const char* path = std::getenv("PATH");
        previousPath = path != nullptr ? path : "";
        usePath((root / "bin").string() + ":" + previousPath);
        setenv("FAKE_LP_LOG_DIR", (root / "log").c_str(), 1);
    }

    void TearDown() override {
        usePath(previousPath);
        for (const char* name : {"FAKE_LP_LOG_DIR", "FAKE_LP_EXIT_STATUS", "FAKE_LP_SKIP_INPUT", "FAKE_LP_DELAY", "FAKE_LP_ERROR_BYTES"})
            unsetenv(name);
        fs::current_path(previousDirectory);
        std::error_code ignored;
        fs::remove_all(root, ignored);
        std::signal(SIGPIPE, previousSigpipe);
    }

    static void usePath(const std::string& path) { setenv("PATH", path.c_str(), 1); }

    static std::string fileBytes(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        if (!file) return "<missing>";
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    std::string logged(const std::string& name) const { return fileBytes(root / "log" / name); }

    static platform::PrintResult print(std::string_view text = "Zeile\n") {
        return platform::printText(text, "DVD - Liste");
    }

    fs::path root;
    fs::path previousDirectory;
    std::string previousPath;
    void (*previousSigpipe)(int) = SIG_DFL;
};

// Each folder of printer/jobs holds a data file and job.txt, the exact bytes
// lp must receive for it on the fixed date.
TEST_F(LpPrinterTest, JobsReachLpByteForByte) {
    int cases = 0;
    for (const auto& entry : fs::directory_iterator(PRINT_JOBS_DIR)) {
        SCOPED_TRACE(entry.path().filename().string());
        ++cases;
        fs::remove(root / "log" / "input");
        const bool library = fs::exists(entry.path() / "DVDBibliothek.csv");
        const std::string dataFile = library ? "DVDBibliothek.csv" : "DVDVerleih.csv";
        fs::copy_file(entry.path() / dataFile, dataFile, fs::copy_options::overwrite_existing);
        DvdLibrary titles;
        RentalRegister rentals;
        library ? titles.load() : rentals.load();
        const PrintedList list = library ? printedList(titles) : printedList(rentals);
        const std::string title(list.name);
        const platform::PrintResult result = platform::printText(formatPrintout(list, PRINT_DATE), list.name);
        EXPECT_EQ(result.outcome, platform::PrintOutcome::Accepted) << result.reason;
        EXPECT_EQ(logged("arguments"), "-t\n" + title + "\n-o\ncpi=13\n-o\nlpi=7\n-o\npage-left=34\n-o\npage-right=34\n"
                                       "-o\npage-top=34\n-o\npage-bottom=34\n");
        EXPECT_EQ(logged("input"), fileBytes(entry.path() / "job.txt"));
    }
    EXPECT_GE(cases, 6);
    // lp's "request id is ..." must not reach the screen.
    if (fs::exists("/proc/self/fd")) {
        EXPECT_EQ(logged("stdout"), "/dev/null\n");
    }
}

// Special files under a data file's name: printing reads them as the lists
// do, neither blocking on a FIFO nor reading a link to /dev/zero, and finds no
// record, so it sends nothing and says "KEINE DATEN ZUM DRUCKEN!".
TEST_F(LpPrinterTest, SpecialFilesInTheDataFilesPlaceHoldNoRecordToPrint) {
    for (const bool fifo : {true, false}) {
        for (const char* name : {"DVDBibliothek.csv", "DVDVerleih.csv"}) {
            SCOPED_TRACE(std::string(name) + (fifo ? " as a FIFO" : " linked to /dev/zero"));
            if (fifo) ASSERT_EQ(::mkfifo(name, 0600), 0);
            else fs::create_symlink("/dev/zero", name);
            DvdLibrary library;
            RentalRegister rentals;
            library.load();
            rentals.load();
            EXPECT_EQ(printedList(library).recordCount + printedList(rentals).recordCount, 0);
            fs::remove(name);
        }
    }
}

// The store holds 1999 records; the printout says how many more the file has,
// without a number when reading stopped at the 32 MiB bound, as the screen does.
TEST_F(LpPrinterTest, RecordsTheStoreCannotHoldAreCountedOnThePrintout) {
    std::string lines;
    for (int record = 0; record < 2001; ++record) lines += "Titel,Name,Vorname\r\n";
    std::ofstream("DVDVerleih.csv", std::ios::binary) << lines;
    for (const std::string notice : {"2 WEITERE", "WEITERE"}) {
        RentalRegister rentals;
        rentals.load();
        const std::string text = formatPrintout(printedList(rentals), PRINT_DATE);
        const std::string ending = "\n" + notice + " EINTRAEGE DER DATEI NICHT GEDRUCKT!\n1999 Ausleihen\n";
        EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
        // 1999 records and the ending, 56 lines to a page.
        EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 35);
        fs::resize_file("DVDVerleih.csv", 33 << 20);
    }
}

TEST_F(LpPrinterTest, RefusalsCarryLpsFirstErrorLineOrSayWhatHappened) {
    setenv("FAKE_LP_EXIT_STATUS", "1", 1);
    platform::PrintResult result = print();
    EXPECT_EQ(result.outcome, platform::PrintOutcome::Refused);
    EXPECT_EQ(result.reason, "lp: Error - fake refusal");

    // Exit status 0 is no acceptance when lp left the job unread; larger
    // than a pipe holds, in case the job ever goes through one.
    unsetenv("FAKE_LP_EXIT_STATUS");
    setenv("FAKE_LP_SKIP_INPUT", "1", 1);
    result = print(std::string(1 << 20, 'x'));
    EXPECT_EQ(result.outcome, platform::PrintOutcome::Refused);
    EXPECT_EQ(result.reason, "lp hat den Auftrag nicht ganz gelesen");
}

// lp's end of its error pipe blocks as any output does: warnings larger than
// the pipe holds wait to be read and do not make lp fail.
TEST_F(LpPrinterTest, LpWritingMuchToStandardErrorIsNotRefused) {
    setenv("FAKE_LP_ERROR_BYTES", "300000", 1);
    const platform::PrintResult result = print();
    EXPECT_EQ(result.outcome, platform::PrintOutcome::Accepted) << result.reason;
}

// The working directory is the data directory: an "lp" there must never run,
// however PATH names it.
TEST_F(LpPrinterTest, LpIsLookedUpOnlyInAbsolutePathEntries) {
    fs::create_symlink(FAKE_LP, root / "lp");
    for (const std::string path : {"", ":", "/nonexistent::", "bin", ".", "./bin:bin/"}) {
        SCOPED_TRACE("PATH=" + path);
        usePath(path);
        const platform::PrintResult result = print();
        EXPECT_EQ(result.outcome, platform::PrintOutcome::Refused);
        EXPECT_EQ(result.reason, "lp nicht gefunden");
        EXPECT_EQ(logged("calls"), "<missing>");
    }
    usePath("/nonexistent::" + (root / "bin").string() + ":" + previousPath);
    EXPECT_EQ(print().outcome, platform::PrintOutcome::Accepted);
    EXPECT_EQ(logged("calls"), "call\n");
}

TEST_F(LpPrinterTest, SlowLpIsNotConfirmedAfterFiveSecondsAndEndedWithWhatItStarted) {
    setenv("FAKE_LP_DELAY", "30", 1);
    const auto started = std::chrono::steady_clock::now();
    const platform::PrintResult result = print();
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_EQ(result.outcome, platform::PrintOutcome::NotConfirmed);
    EXPECT_EQ(result.reason, "lp hat den Auftrag nicht innerhalb von 5 s bestaetigt");
    EXPECT_GE(waited, std::chrono::milliseconds(4900));
    EXPECT_LE(waited, std::chrono::milliseconds(5000) + testtime::scaled(std::chrono::milliseconds(1500)));
    // lp is reaped at once; what it started (its sleep, in lp's process
    // group) is ended, and gone as soon as the system has reaped it.
    const pid_t lp = std::stoi(logged("pid"));
    EXPECT_EQ(::kill(lp, 0), -1);
    int groupGoneAfterMs = 0;
    const int boundMs = static_cast<int>(testtime::scaled(std::chrono::milliseconds(2000)).count());
    while (::kill(-lp, 0) == 0 && groupGoneAfterMs < boundMs) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        groupGoneAfterMs += 10;
    }
    EXPECT_LT(groupGoneAfterMs, boundMs);
}

}  // namespace
