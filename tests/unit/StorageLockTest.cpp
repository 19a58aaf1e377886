#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "library/DvdLibrary.h"
#include "rental/RentalRegister.h"
#include "storage/FileSystem.h"
#include "StorageTestDirectory.h"

namespace {

const std::string RENTALS = "DVDVerleih.csv";

// Lock waits poll, so no system lists the waiter: the other thread gets a
// moment to reach its wait.
void waitUntilSomeoneWaitsForALock() { std::this_thread::sleep_for(std::chrono::milliseconds(200)); }

bool appendLending(const std::string& title) {
    RentalRegister rentals;
    rentals.setFilmTitle(title, WORK_ROW);
    return rentals.appendRecord();
}

class StorageLockTest : public StorageTestDirectory {};

TEST_F(StorageLockTest, AnAppendWaitingForARewriteLandsInTheNewFile) {
    writeFile(RENTALS, "A,,\r\nB,,\r\n");
    bool appended = false;
    std::thread appender;
    {
        storage::DataFile rewriting(RENTALS, storage::DataFile::Purpose::Replace);
        ASSERT_TRUE(rewriting.isOpen());
        appender = std::thread([&] { appended = appendLending("C"); });
        waitUntilSomeoneWaitsForALock();
        EXPECT_TRUE(rewriting.replaceWith("B,,\r\n"));
    }
    appender.join();
    EXPECT_TRUE(appended);
    EXPECT_EQ(readFile(RENTALS), "B,,\r\nC,,\r\n");
}

TEST_F(StorageLockTest, ALoadWaitsForAnAppendInProgress) {
    writeFile(RENTALS, "A,,\r\n");
    RentalRegister reader;
    std::thread loader;
    {
        storage::DataFile appending(RENTALS, storage::DataFile::Purpose::Append);
        ASSERT_TRUE(appending.isOpen());
        loader = std::thread([&] {
            reader.clear();
            reader.load();
        });
        waitUntilSomeoneWaitsForALock();
        EXPECT_TRUE(appending.appendWhole("B,,\r\n"));
    }
    loader.join();
    EXPECT_EQ(reader.recordCount(), 2);
}

TEST_F(StorageLockTest, ConcurrentAppendsNeverMixTheirLines) {
    constexpr int perWriter = 40;
    auto writeMany = [](char writer) {
        for (int i = 0; i < perWriter; ++i) appendLending(std::string(20, writer) + std::to_string(i));
    };
    std::thread first(writeMany, 'x');
    std::thread second(writeMany, 'y');
    first.join();
    second.join();

    std::istringstream lines(readFile(RENTALS));
    std::string line;
    int count = 0;
    while (std::getline(lines, line)) {
        ++count;
        EXPECT_TRUE(line.starts_with(std::string(20, line[0])) && line.ends_with(",,\r")) << line;
    }
    EXPECT_EQ(count, 2 * perWriter);
}

TEST_F(StorageLockTest, ALockHeldElsewhereIsWaitedForAFewSecondsOnly) {
    writeFile(RENTALS, "A,,\r\n");
    writeFile("DVDBibliothek.csv", "g,t,e,1,\r\n");
    storage::DataFile heldElsewhere(RENTALS, storage::DataFile::Purpose::Append);
    storage::DataFile alsoHeld("DVDBibliothek.csv", storage::DataFile::Purpose::Append);
    ASSERT_TRUE(heldElsewhere.isOpen() && alsoHeld.isOpen());
    const auto start = std::chrono::steady_clock::now();
    bool loaded = true;
    bool locked = false;
    std::thread loader([&] {
        DvdLibrary library;
        library.clear();
        loaded = library.load();
        locked = library.wasLocked();
    });
    EXPECT_FALSE(appendLending("B"));
    loader.join();
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(locked);
    EXPECT_GE(waited, std::chrono::milliseconds(2900));
    EXPECT_LT(waited, std::chrono::milliseconds(4500));
    EXPECT_EQ(readFile(RENTALS), "A,,\r\n");
}

}  // namespace
