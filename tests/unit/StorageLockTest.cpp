#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "rental/RentalRegister.h"
#include "storage/FileSystem.h"
#include "StorageTestDirectory.h"

namespace {

const std::string RENTALS = "DVDVerleih.csv";

#if defined(_WIN32)
// Windows shows no list of lock waiters: the other thread gets a moment to
// reach its wait.
void waitUntilSomeoneWaitsForALock() { std::this_thread::sleep_for(std::chrono::milliseconds(200)); }
#else
// True once some process or thread waits for a file lock (Linux lists
// waiters in /proc/locks with "->").
bool someoneWaitsForALock() {
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        if (line.find("->") != std::string::npos) return true;
    }
    return false;
}

void waitUntilSomeoneWaitsForALock() {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!someoneWaitsForALock() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}
#endif

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

}  // namespace
