#include <gtest/gtest.h>
#include <stdlib.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "console/Platform.h"

namespace {

namespace fs = std::filesystem;

// The terminal's print path against the stand-in lp (tests/e2e/fake-lp),
// which is put first on PATH and records its arguments and the job.
class LpPrinterTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The terminal platform ignores SIGPIPE when it opens; an lp that
        // leaves the job unread must fail the print, not end the program.
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
        unsetenv("FAKE_LP_LOG_DIR");
        unsetenv("FAKE_LP_EXIT_STATUS");
        unsetenv("FAKE_LP_SKIP_INPUT");
        fs::current_path(previousDirectory);
        std::error_code ignored;
        fs::remove_all(root, ignored);
        std::signal(SIGPIPE, previousSigpipe);
    }

    static void usePath(const std::string& path) { setenv("PATH", path.c_str(), 1); }

    static void writeFile(const std::string& name, const std::string& bytes) {
        std::ofstream(name, std::ios::binary) << bytes;
    }

    std::string logged(const std::string& name) const {
        std::ifstream file(root / "log" / name, std::ios::binary);
        if (!file) return "<missing>";
        return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    }

    fs::path root;
    fs::path previousDirectory;
    std::string previousPath;
    void (*previousSigpipe)(int) = SIG_DFL;
};

TEST_F(LpPrinterTest, SendsTheFileAsUtf8TitledWithItsName) {
    // "Film mit Äöü,Straße," in code page 850, with the line end of the data files.
    writeFile("DVDBibliothek.csv", "Film mit \x8e\x94\x81,Stra\xe1" "e,\r\n");
    std::string reason;
    EXPECT_TRUE(platform::printFile("DVDBibliothek.csv", reason));
    EXPECT_EQ(logged("arguments"), "-t\nDVDBibliothek.csv\n");
    EXPECT_EQ(logged("input"), "Film mit \xc3\x84\xc3\xb6\xc3\xbc,Stra\xc3\x9f" "e,\r\n");
    EXPECT_EQ(logged("calls"), "call\n");
    // lp's "request id is ..." must not reach the screen.
    if (fs::exists("/proc/self/fd")) {
        EXPECT_EQ(logged("stdout"), "/dev/null\n");
    }
}

TEST_F(LpPrinterTest, RefusedJobIsAFailureWithLpsReason) {
    writeFile("DVDVerleih.csv", "Titel,Name,Vorname\r\n");
    setenv("FAKE_LP_EXIT_STATUS", "1", 1);
    std::string reason;
    EXPECT_FALSE(platform::printFile("DVDVerleih.csv", reason));
    EXPECT_NE(reason.find("fake refusal"), std::string::npos) << reason;
}

TEST_F(LpPrinterTest, JobLeftUnreadIsAFailure) {
    // Larger than a pipe holds, so the writer sees lp go away.
    writeFile("DVDBibliothek.csv", std::string(1 << 20, 'x'));
    setenv("FAKE_LP_SKIP_INPUT", "1", 1);
    std::string reason;
    EXPECT_FALSE(platform::printFile("DVDBibliothek.csv", reason));
    EXPECT_EQ(logged("calls"), "call\n");
}

TEST_F(LpPrinterTest, MissingLpIsAFailure) {
    writeFile("DVDBibliothek.csv", "a,b,c,d,\r\n");
    fs::create_directories(root / "empty");
    usePath((root / "empty").string());
    std::string reason;
    EXPECT_FALSE(platform::printFile("DVDBibliothek.csv", reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(logged("calls"), "<missing>");
}

TEST_F(LpPrinterTest, MissingFileIsAFailureWithoutStartingLp) {
    std::string reason;
    EXPECT_FALSE(platform::printFile("DVDBibliothek.csv", reason));
    EXPECT_EQ(logged("calls"), "<missing>");
}

}  // namespace
