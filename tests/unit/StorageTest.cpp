#include <gtest/gtest.h>
#include <unistd.h>
#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/file.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "library/DvdLibrary.h"
#include "rental/RentalRegister.h"
#include "storage/DataFile.h"
#include "support/Scenario.h"
#include "support/Tables.h"
#include "support/TestTime.h"

// The data files under other lockers, links and permissions: what the
// scenarios cannot stage. Every test runs in an empty directory and checks
// that no file but the data files is left behind.
namespace {

namespace fs = std::filesystem;
using storage::DataFile;

const std::string LIBRARY = "DVDBibliothek.csv";
const std::string RENTALS = "DVDVerleih.csv";
const std::string THREE_LINES = "gP,tP,eP,1,\r\ngQ,tQ,eQ,2,\r\ngR,tR,eR,3,\r\n";

class StorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        fs::remove_all(directory);
        fs::create_directories(directory);
        fs::current_path(directory);
    }
    void TearDown() override {
        for (const auto& [name, bytes] : scenario::readFolder("."))
            EXPECT_TRUE(name == LIBRARY || name == RENTALS || name.starts_with("elsewhere")) << "left behind: " << name;
        fs::current_path(home);
        fs::remove_all(directory);
    }
    static void write(const std::string& name, const std::string& bytes) { std::ofstream(name, std::ios::binary) << bytes; }
    static std::string read(const std::string& name) { return scenario::readFile(name).value_or("<missing>"); }
    static bool appendLending(const std::string& title) {
        RentalRegister rentals;
        rentals.setFilmTitle(title, WORK_ROW);
        return rentals.appendRecord();
    }
    // Lock waits poll, so no system lists the waiter: the other thread gets
    // a moment to reach its wait.
    static void untilSomeoneWaitsForALock() { std::this_thread::sleep_for(testtime::scaled(std::chrono::milliseconds(200))); }
    const fs::path home = fs::current_path();
    const fs::path directory = fs::temp_directory_path() / ("dvd-storage-" + std::to_string(::getpid()) + "-" +
                                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

TEST_F(StorageTest, AnAppendWaitingForARewriteLandsInTheNewFile) {
    write(RENTALS, "A,,\r\nB,,\r\n");
    bool appended = false;
    std::thread appender;
    {
        DataFile rewriting(RENTALS, DataFile::Purpose::Replace);
        ASSERT_TRUE(rewriting.isOpen());
        appender = std::thread([&] { appended = appendLending("C"); });
        untilSomeoneWaitsForALock();
        EXPECT_TRUE(rewriting.replaceWith("B,,\r\n"));
    }
    appender.join();
    EXPECT_TRUE(appended);
    EXPECT_EQ(read(RENTALS), "B,,\r\nC,,\r\n");
}

TEST_F(StorageTest, AReadWaitsForAnAppendOrARewriteAndSeesItsResult) {
    write(LIBRARY, "old,,,1,\r\n");
    std::string seen;
    std::thread reader;
    {
        DataFile rewriting(LIBRARY, DataFile::Purpose::Replace);
        ASSERT_TRUE(rewriting.isOpen());
        EXPECT_EQ(read(LIBRARY), "old,,,1,\r\n");  // the lock keeps out lockers, not an editor reading
        reader = std::thread([&] {
            DataFile reading(LIBRARY, DataFile::Purpose::Read);
            if (reading.isOpen()) reading.read([&](std::string_view chunk) {
                    seen += chunk;
                    return true;
                });
        });
        untilSomeoneWaitsForALock();
        EXPECT_TRUE(rewriting.replaceWith("new,,,2,\r\n"));
    }
    reader.join();
    EXPECT_EQ(seen, "new,,,2,\r\n");
    RentalRegister loaded;
    {
        DataFile appending(RENTALS, DataFile::Purpose::Append);
        reader = std::thread([&] { loaded.load(); });
        untilSomeoneWaitsForALock();
        EXPECT_TRUE(appending.appendWhole("B,,\r\n"));
    }
    reader.join();
    EXPECT_EQ(loaded.recordCount(), 1);
}

TEST_F(StorageTest, ARewriteReplacesTheFileALinkPointsToAndKeepsItsPermissions) {
    fs::create_directory("elsewhere");
    write("elsewhere/library.csv", THREE_LINES);
    std::error_code refused;
    fs::create_symlink("elsewhere/library.csv", LIBRARY, refused);
    if (refused) GTEST_SKIP() << "no symbolic link: " << refused.message();  // Windows, unprivileged
    fs::permissions(LIBRARY, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    DvdLibrary library;
    ASSERT_TRUE(library.load());
    library.removeRecord(2);
    ASSERT_EQ(library.saveAll(), storage::SaveResult::Saved);
    EXPECT_TRUE(fs::is_symlink(LIBRARY));
    EXPECT_EQ(read("elsewhere/library.csv"), "gP,tP,eP,1,\r\ngQ,tQ,eQ,2,\r\n");
    EXPECT_EQ(fs::status(LIBRARY).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(StorageTest, ALockHeldElsewhereIsWaitedForAFewSecondsOnly) {
    write(RENTALS, "A,,\r\n");
    write(LIBRARY, "g,t,e,1,\r\n");
    DataFile heldElsewhere(RENTALS, DataFile::Purpose::Append);
    DataFile alsoHeld(LIBRARY, DataFile::Purpose::Append);
    ASSERT_TRUE(heldElsewhere.isOpen() && alsoHeld.isOpen());
    const auto start = std::chrono::steady_clock::now();
    bool loaded = true;
    bool locked = false;
    std::thread loader([&] {
        DvdLibrary library;
        loaded = library.load();
        locked = library.wasLocked();
    });
    EXPECT_FALSE(appendLending("B"));
    loader.join();
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(locked);
    EXPECT_GE(waited, std::chrono::milliseconds(2900));
    EXPECT_LT(waited, std::chrono::milliseconds(3000) + testtime::scaled(std::chrono::milliseconds(1500)));
    EXPECT_EQ(read(RENTALS), "A,,\r\n");
}

TEST_F(StorageTest, ReadsAreBounded) {
    // A field is kept up to its cap; the file keeps it whole.
    const std::string longField(5000, 'x');
    write(LIBRARY, "g," + longField + ",e,1,\r\n\"" + longField + ",t\r\n");
    DvdLibrary library;
    ASSERT_TRUE(library.load());
    ASSERT_EQ(library.recordCount(), 2);
    EXPECT_EQ(library.getTitleGerman(0), longField.substr(0, FIELD_BYTES_KEPT));
    EXPECT_EQ(library.getGenre(1).size(), static_cast<std::size_t>(FIELD_BYTES_KEPT));
    library.removeRecord(0);
    ASSERT_EQ(library.saveAll(), storage::SaveResult::Saved);
    EXPECT_EQ(read(LIBRARY), "\"" + longField + ",t\r\n");

    // Reading stops after a fixed amount: a line cut off there is no record.
    write(LIBRARY, "a,b,c,1,\r\n");
    fs::resize_file(LIBRARY, FILE_BYTES_SCANNED + 10);
    library.clear();
    ASSERT_TRUE(library.load());
    ASSERT_EQ(library.recordCount(), 1);
    EXPECT_TRUE(library.hasUncountedLines());
    EXPECT_EQ(library.getGenre(1), "");
    library.removeRecord(0);
    ASSERT_EQ(library.saveAll(), storage::SaveResult::Saved);
    EXPECT_EQ(fs::file_size(LIBRARY), static_cast<std::uintmax_t>(FILE_BYTES_SCANNED));
}

#if !defined(_WIN32)
// tables/temporary-files.txt: which files beside the library a save removes.
TEST_F(StorageTest, TemporaryFilesOfKilledWritersGoWithTheNextSave) {
    std::vector<int> alive;
    const std::vector<tables::Row> rows = tables::read("temporary-files.txt");
    for (const tables::Row& row : rows) {
        const bool held = row.left.starts_with("held ");
        const std::string name = held ? row.left.substr(5) : row.left;
        write(name, THREE_LINES);
        // A writer still alive holds the lock of its temporary file.
        if (held) {
            alive.push_back(open(name.c_str(), O_RDONLY));
            ASSERT_EQ(flock(alive.back(), LOCK_EX), 0);
        }
    }
    DvdLibrary library;
    library.setGenre("x", WORK_ROW);
    ASSERT_TRUE(library.appendRecord());
    for (const int file : alive) close(file);
    for (const tables::Row& row : rows) {
        const std::string name = row.left.starts_with("held ") ? row.left.substr(5) : row.left;
        EXPECT_EQ(read(name) == "<missing>" ? "goes" : "stays", row.right) << "temporary-files.txt:" << row.line << ": " << name;
        fs::remove(name);
    }
}
#endif

}  // namespace
