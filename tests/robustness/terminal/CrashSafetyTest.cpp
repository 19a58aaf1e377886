#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <random>
#include <thread>

#include "TerminalDriving.h"

// The program ended by SIGINT, SIGTERM, SIGHUP or SIGKILL at random moments
// while it rewrites a data file (a deletion or a return confirmed):
// afterwards each file holds either its old or its new bytes, never a part,
// the signals it can catch leave no temporary file, and the next save clears
// away those of SIGKILL.
//
//   DVD_CRASH_KILLS    kills (default 12)
//   DVD_CRASH_RECORDS  records in each file (default 1999)
//   DVD_CRASH_SEED     seed of the kill moments and titles
namespace {

using namespace robustness;
using Clock = std::chrono::steady_clock;

std::vector<Record> libraryOf(int count) {
    std::vector<Record> records;
    for (int i = 0; i < count; ++i) {
        char title[32];
        std::snprintf(title, sizeof title, "Titel %04d", i);
        records.push_back({"Genre " + std::to_string(i % 7), title, "Title " + std::to_string(i), "90"});
    }
    return records;
}

std::vector<Record> rentalsOf(int count) {
    std::vector<Record> records;
    for (int i = 0; i < count; ++i) {
        char title[32];
        std::snprintf(title, sizeof title, "Titel %04d", i);
        records.push_back({title, "Name " + std::to_string(i), "Vorname"});
    }
    return records;
}

ino_t inodeOf(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

struct DataSide {
    const char* file;
    LineLayout layout;
    std::vector<Record> records;
    int titleField;
};

class CrashSafety : public ::testing::Test {
protected:
    void SetUp() override {
        const int count = static_cast<int>(environmentNumber("DVD_CRASH_RECORDS", 1999));
        sides[0] = {LIBRARY_FILE, LIBRARY_LINES, libraryOf(count), 1};
        sides[1] = {RENTAL_FILE, RENTAL_LINES, rentalsOf(count), 0};
        for (const DataSide& side : sides) end_to_end::writeFile(directory.file(side.file), encodeFile(side.records, side.layout));
    }

    // Opens the delete (library) or return (rental) dialog and asks about one title.
    std::unique_ptr<PtySession> askToRemove(int sideIndex, const std::string& title) {
        auto session = startProgram(directory);
        EXPECT_TRUE(awaitMainScreen(*session)) << screenDump(*session);
        const bool asked = sideIndex == 0 ? openLibraryMenu(*session) && openDeleteAndAsk(*session, title)
                                          : openRentalMenu(*session) && openReturnAndAsk(*session, title);
        EXPECT_TRUE(asked) << screenDump(*session);
        return asked ? std::move(session) : nullptr;
    }

    std::string pickTitle(int sideIndex) {
        const DataSide& side = sides[sideIndex];
        const auto& record = side.records[std::uniform_int_distribution<std::size_t>(0, side.records.size() - 1)(random)];
        return record[static_cast<std::size_t>(side.titleField)];
    }

    std::vector<Record> withoutFirst(const DataSide& side, const std::string& title) {
        std::vector<Record> left = side.records;
        for (auto it = left.begin(); it != left.end(); ++it) {
            if ((*it)[static_cast<std::size_t>(side.titleField)] == title) {
                left.erase(it);
                break;
            }
        }
        return left;
    }

    // From the answer to the file being renamed over, without a kill.
    std::chrono::microseconds measureSave(int sideIndex) {
        DataSide& side = sides[sideIndex];
        const std::string title = pickTitle(sideIndex);
        auto session = askToRemove(sideIndex, title);
        if (!session) return std::chrono::microseconds(0);
        const std::string path = directory.file(side.file);
        const ino_t before = inodeOf(path);
        const auto sent = Clock::now();
        session->send("j\r");
        while (inodeOf(path) == before && Clock::now() - sent < std::chrono::seconds(5))
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        const auto took = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - sent);
        side.records = withoutFirst(side, title);
        EXPECT_EQ(end_to_end::fileBytes(path), encodeFile(side.records, side.layout));
        return took;
    }

    end_to_end::ScratchDirectory directory;
    DataSide sides[2];
    std::mt19937_64 random{static_cast<std::uint64_t>(environmentNumber("DVD_CRASH_SEED", 7))};
};

TEST_F(CrashSafety, EveryFileIsTheOldOrTheNewVersionAfterAKillWhileSaving) {
    const long long kills = environmentNumber("DVD_CRASH_KILLS", 12);
    // Kill moments spread over twice the time a save takes, so that they fall
    // before, into and after the rewrite.
    std::chrono::microseconds window{0};
    for (int sideIndex : {0, 1, 0, 1}) window = std::max(window, 2 * measureSave(sideIndex));
    ASSERT_GT(window.count(), 0);

    long long killedBefore = 0;
    long long killedDuring = 0;
    long long killedAfter = 0;
    std::size_t strayBefore = strayFiles(directory).size();
    for (long long kill = 0; kill < kills && !HasFailure(); ++kill) {
        const int sideIndex = static_cast<int>(kill % 2);
        DataSide& side = sides[sideIndex];
        const DataSide& other = sides[1 - sideIndex];
        const std::string title = pickTitle(sideIndex);
        auto session = askToRemove(sideIndex, title);
        ASSERT_TRUE(session);
        const std::string oldBytes = encodeFile(side.records, side.layout);
        const std::vector<Record> removed = withoutFirst(side, title);
        const std::string newBytes = encodeFile(removed, side.layout);
        const auto delay = std::chrono::microseconds(
            std::uniform_int_distribution<long long>(0, window.count())(random));

        const int signalNumber = std::array{SIGINT, SIGTERM, SIGHUP, SIGKILL}[kill / 2 % 4];

        session->send("j\r");
        const auto killAt = Clock::now() + delay;
        while (Clock::now() < killAt) {
        }
        session->sendSignal(signalNumber);
        const std::optional<int> status = session->waitForExit();
        ASSERT_TRUE(status && WIFSIGNALED(*status) && WTERMSIG(*status) == signalNumber);

        const std::string now = end_to_end::fileBytes(directory.file(side.file));
        const std::size_t stray = strayFiles(directory).size();
        if (signalNumber != SIGKILL) {
            EXPECT_LE(stray, strayBefore) << "a temporary file left after signal " << signalNumber;
        }
        if (now == newBytes) {
            ++killedAfter;
            side.records = removed;
        } else if (now == oldBytes) {
            ++(stray > strayBefore ? killedDuring : killedBefore);
        } else {
            ADD_FAILURE() << side.file << " is neither the old nor the new version after a kill " << delay.count()
                          << " us after the answer: " << now.size() << " bytes, old " << oldBytes.size() << ", new "
                          << newBytes.size();
        }
        EXPECT_EQ(end_to_end::fileBytes(directory.file(other.file)), encodeFile(other.records, other.layout))
            << other.file << " changed although nothing was done to it";
        strayBefore = stray;
    }

    // The temporary files of killed saves go with the next save.
    auto session = startProgram(directory);
    ASSERT_TRUE(awaitMainScreen(*session));
    ASSERT_TRUE(openLibraryMenu(*session));
    const std::string title = pickTitle(0);
    ASSERT_TRUE(openDeleteAndAsk(*session, title)) << screenDump(*session);
    session->send("j\r");
    ASSERT_TRUE(session->pumpUntil([&] { return end_to_end::menuAwaitsChoice(session->screen(), 25); }));
    sides[0].records = withoutFirst(sides[0], title);
    EXPECT_EQ(end_to_end::fileBytes(directory.file(LIBRARY_FILE)), encodeFile(sides[0].records, LIBRARY_LINES));
    EXPECT_TRUE(leaveWithStatusZero(*session));

    const std::vector<std::string> left = strayFiles(directory);
    std::printf("crash safety: %lld kills within %lld us of the answer: %lld before the save, %lld during it "
                "(temporary file left), %lld after it; %zu temporary files left%s%s\n",
                kills, static_cast<long long>(window.count()), killedBefore, killedDuring, killedAfter, left.size(),
                left.empty() ? "" : ", e.g. ", left.empty() ? "" : left.front().c_str());
    EXPECT_TRUE(left.empty());
    RecordProperty("kills", std::to_string(kills));
}

}  // namespace
