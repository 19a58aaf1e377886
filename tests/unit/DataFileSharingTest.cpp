#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>

#include "StorageTestDirectory.h"
#include "storage/FileSystem.h"

namespace {

using storage::DataFile;

const std::string LIBRARY = "DVDBibliothek.csv";

// How data files behave towards other programs and other DataFile holders,
// the same on every system.
class DataFileSharingTest : public StorageTestDirectory {};

TEST_F(DataFileSharingTest, TheLockKeepsOnlyOtherLockersOutNotPlainReaders) {
    writeFile(LIBRARY, "a,b,c,1,\r\n");
    DataFile appending(LIBRARY, DataFile::Purpose::Append);
    ASSERT_TRUE(appending.isOpen());
    // An editor or viewer reads the file while the program holds its lock.
    EXPECT_EQ(readFile(LIBRARY), "a,b,c,1,\r\n");
    ASSERT_TRUE(appending.appendWhole("d,e,f,2,\r\n"));
    EXPECT_EQ(readFile(LIBRARY), "a,b,c,1,\r\nd,e,f,2,\r\n");
}

TEST_F(DataFileSharingTest, ARewriteOfAFileHeldOpenByAWaitingLockerLeavesOnlyTheNewFile) {
    writeFile(LIBRARY, "old,,,1,\r\n");
    std::thread reader;
    std::string readByWaiter;
    {
        DataFile rewriting(LIBRARY, DataFile::Purpose::Replace);
        ASSERT_TRUE(rewriting.isOpen());
        reader = std::thread([&] {
            DataFile reading(LIBRARY, DataFile::Purpose::Read);
            if (reading.isOpen()) reading.readAll([&](std::string_view chunk) { readByWaiter += chunk; });
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        EXPECT_TRUE(rewriting.replaceWith("new,,,2,\r\n"));
    }
    reader.join();
    EXPECT_EQ(readByWaiter, "new,,,2,\r\n");
    EXPECT_EQ(readFile(LIBRARY), "new,,,2,\r\n");
    EXPECT_EQ(strayFileCount(), 0);
}

TEST_F(DataFileSharingTest, ARewriteWhileAnotherProgramHasTheFileOpenIsWholeOrNothing) {
    writeFile(LIBRARY, "old,,,1,\r\n");
    bool replaced = false;
    {
        std::ifstream otherProgram(LIBRARY, std::ios::binary);
        ASSERT_TRUE(otherProgram.is_open());
        DataFile rewriting(LIBRARY, DataFile::Purpose::Replace);
        ASSERT_TRUE(rewriting.isOpen());
        // Windows refuses to rename a file another program opened without
        // delete sharing; the rewrite then reports failure instead.
        replaced = rewriting.replaceWith("new,,,2,\r\n");
    }
    EXPECT_EQ(readFile(LIBRARY), replaced ? "new,,,2,\r\n" : "old,,,1,\r\n");
    EXPECT_EQ(strayFileCount(), 0);
}

TEST_F(DataFileSharingTest, TheLastByteIsReadWithoutDisturbingAnAppend) {
    DataFile appending(LIBRARY, DataFile::Purpose::Append);
    ASSERT_TRUE(appending.isOpen());
    int lastByte = 0;
    ASSERT_TRUE(appending.readLastByte(lastByte));
    EXPECT_EQ(lastByte, -1);
    ASSERT_TRUE(appending.appendWhole("x,,\r\n"));
    ASSERT_TRUE(appending.readLastByte(lastByte));
    EXPECT_EQ(lastByte, '\n');
    ASSERT_TRUE(appending.appendWhole("y,,\r\n"));
    EXPECT_EQ(readFile(LIBRARY), "x,,\r\ny,,\r\n");
}

}  // namespace
