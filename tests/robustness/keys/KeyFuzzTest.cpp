#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "../CampaignSettings.h"
#include "../DataFileLines.h"
#include "FuzzData.h"
#include "KeyStreams.h"
#include "support/AppFixture.h"

// Random key streams against the whole program, from a working directory
// with both files. Whenever the program asks for a key the files are looked
// at (and read when they changed): they must parse, and each must be
// unchanged or differ from the last reading by exactly one appended or one
// removed line. A stream that keeps the
// program reading keys long after it ran dry, or stops it reading keys at
// all, counts as a hang.
//
//   DVD_FUZZ_STREAMS  streams to run (default 1000, 150 in a sanitized build)
//   DVD_FUZZ_SEED     seed of the first stream; stream i uses seed + i
//   DVD_FUZZ_PATIENCE_SECONDS  how long without a key read counts as a hang (60)
namespace {

using namespace robustness;

// A stream that found a problem ends at once with this.
struct DataProblem : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What changes when the program appends (size) or replaces (inode) a file.
struct FileStamp {
    bool exists = false;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNs = 0;
    long long changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp stampOf(const char* name) {
    struct stat info {};
    if (::stat(name, &info) != 0) return {};
    return {true, info.st_ino, info.st_size,
            static_cast<long long>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
            static_cast<long long>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec};
}

struct WatchedFile {
    const char* name;
    LineLayout layout;
    std::vector<std::string> lines;
    FileStamp stamp;
    long long appends = 0;
    long long removals = 0;
};

class DataFileWatch {
public:
    void start() {
        checks = 0;
        for (WatchedFile& file : files) {
            file.lines.clear();
            file.stamp = stampOf(file.name);
            const std::string problem = splitDataFile(readWholeFile(file.name), file.layout, file.lines);
            if (!problem.empty()) throw std::logic_error(std::string("test data ") + file.name + ": " + problem);
        }
    }

    // Reads a file again when its stamp changed, and every so often anyway
    // (a stamp can miss a rewrite of the same size within one clock tick).
    void check(bool always = false) {
        const bool readAnyway = always || ++checks % 32 == 0;
        for (WatchedFile& file : files) {
            const FileStamp stamp = stampOf(file.name);
            if (!readAnyway && stamp == file.stamp) continue;
            file.stamp = stamp;
            std::vector<std::string> now;
            const std::string problem = splitDataFile(readWholeFile(file.name), file.layout, now);
            if (!problem.empty()) throw DataProblem(std::string(file.name) + " does not parse: " + problem);
            const LineChange change = classifyChange(file.lines, now);
            if (change == LineChange::Other)
                throw DataProblem(std::string(file.name) + " " + describe(change) + ": " +
                                  std::to_string(file.lines.size()) + " lines became " + std::to_string(now.size()));
            if (change == LineChange::OneAppended) ++file.appends;
            if (change == LineChange::OneRemoved) ++file.removals;
            file.lines = std::move(now);
        }
    }

    long long checks = 0;
    WatchedFile files[2] = {{LIBRARY_FILE, LIBRARY_LINES, {}, {}}, {RENTAL_FILE, RENTAL_LINES, {}, {}}};
};

// Ends the process with the seed when the program stops asking for keys
// (a loop that neither reads keys nor pauses cannot be caught otherwise).
class Watchdog {
public:
    explicit Watchdog(std::chrono::seconds patience)
        : thread([this, patience] {
              long long lastBeat = -1;
              auto lastChange = std::chrono::steady_clock::now();
              while (!stopping.load()) {
                  std::this_thread::sleep_for(std::chrono::milliseconds(200));
                  const long long beat = heartbeat.load();
                  const auto now = std::chrono::steady_clock::now();
                  if (beat != lastBeat) {
                      lastBeat = beat;
                      lastChange = now;
                  } else if (now - lastChange > patience) {
                      std::fprintf(stderr, "\nHANG: no key read for %lld s; reproduce with DVD_FUZZ_SEED=%llu DVD_FUZZ_STREAMS=1\n",
                                   static_cast<long long>(patience.count()), currentSeed.load());
                      std::abort();
                  }
              }
          }) {}
    ~Watchdog() {
        stopping = true;
        thread.join();
    }
    std::atomic<long long> heartbeat{0};
    std::atomic<unsigned long long> currentSeed{0};

private:
    std::atomic<bool> stopping{false};
    std::thread thread;
};

class KeyFuzz : public AppFixture {
protected:
    // Every save syncs to disk; in memory the streams run many times faster
    // and the files behave the same.
    void SetUp() override {
        if (std::getenv("TMPDIR") == nullptr && std::filesystem::is_directory("/dev/shm") && ::access("/dev/shm", W_OK) == 0)
            ::setenv("TMPDIR", "/dev/shm", 1);
        AppFixture::SetUp();
    }

    void writeStartingFiles(bool fullLibrary) {
        for (const auto& entry : std::filesystem::directory_iterator(workingDirectory))
            std::filesystem::remove_all(entry.path());
        writeFile(LIBRARY_FILE,
                  encodeFile(fullLibrary ? fullLibraryRecords() : fuzzLibraryRecords(), LIBRARY_LINES));
        writeFile(RENTAL_FILE, encodeFile(fuzzRentalRecords(), RENTAL_LINES));
    }

    // Files other than the two data files: a save that failed or was cut
    // short must not leave its temporary file behind.
    std::string strayFiles() const {
        std::string stray;
        for (const auto& entry : std::filesystem::directory_iterator(workingDirectory)) {
            const std::string name = entry.path().filename().string();
            if (name != LIBRARY_FILE && name != RENTAL_FILE) stray += " " + name;
        }
        return stray;
    }

    // Empty when the stream ran clean, else what went wrong.
    std::string runStream(const std::vector<TimedKey>& keys, Watchdog& watchdog, bool fullLibrary = false) {
        writeStartingFiles(fullLibrary);
        watch.start();
        scripted::reset();
        for (const TimedKey& key : keys) scripted::typeKeyAt(key.availableAtMs, key.code);
        const long long lastKeyAt = keys.empty() ? 0 : keys.back().availableAtMs;
        const long long virtualTimeLimit = lastKeyAt + (static_cast<long long>(keys.size()) + 300) * 3000;
        scripted::state().onTakeKey = [&] {
            ++watchdog.heartbeat;
            watch.check();
        };
        scripted::state().onSleep = [&](int milliseconds) {
            if (scripted::state().nowMs > virtualTimeLimit)
                throw std::runtime_error("the virtual clock runs on without keys being read");
            if (milliseconds >= 1000) countMessage();
        };
        std::string problem;
        try {
            app.reset();  // one screen at a time owns std::cout
            app = std::make_unique<DvdApplication>();
            app->runMainMenu();
            watch.check(true);
        } catch (const std::exception& error) {
            problem = error.what();
        }
        app.reset();
        scripted::state().onTakeKey = nullptr;
        scripted::state().onSleep = nullptr;
        if (problem.empty() && !strayFiles().empty()) problem = "files left behind:" + strayFiles();
        if (!scripted::state().keys.empty()) ++streamsEndedByEscape;
        keysTyped += static_cast<long long>(keys.size() - scripted::state().keys.size());
        return problem;
    }

    // Messages are shown during their pause; which ones the streams met.
    void countMessage() {
        for (int row = 0; row < app->bufferRowCount(); ++row) {
            const std::string text = app->rowText(row);
            if (text.find("SPEICHERN FEHLGESCHLAGEN!") != std::string::npos) ++saveFailuresShown;
            if (text.find("FALSCHE EINGABE DER LAENGE!") != std::string::npos) ++otherMessagesShown;
            if (text.find("GEFUNDEN!") != std::string::npos || text.find("NICHT VORHANDEN!") != std::string::npos)
                ++otherMessagesShown;
        }
    }

    DataFileWatch watch;
    long long saveFailuresShown = 0;
    long long otherMessagesShown = 0;
    long long keysTyped = 0;
    long long streamsEndedByEscape = 0;
};

std::vector<std::string> knownTitles() {
    std::vector<std::string> titles;
    for (const Record& record : fuzzLibraryRecords()) titles.push_back(record[1]);
    for (const Record& record : fuzzRentalRecords()) titles.push_back(record[0]);
    return titles;
}

TEST_F(KeyFuzz, NoKeyStreamBreaksTheDataFilesOrHangsTheProgram) {
    const long long streams = environmentNumber("DVD_FUZZ_STREAMS", builtWithSanitizers() ? 150 : 1000);
    const auto firstSeed = static_cast<unsigned long long>(environmentNumber("DVD_FUZZ_SEED", 20240601));
    Watchdog watchdog(std::chrono::seconds(environmentNumber("DVD_FUZZ_PATIENCE_SECONDS", 60)));
    const auto started = std::chrono::steady_clock::now();
    int failures = 0;
    long long fullLibraryStreams = 0;
    for (long long stream = 0; stream < streams && failures < 5; ++stream) {
        const unsigned long long seed = firstSeed + static_cast<unsigned long long>(stream);
        watchdog.currentSeed = seed;
        const std::vector<TimedKey> keys = KeyStreamGenerator(seed, knownTitles()).nextStream();
        // Every sixteenth stream against a library at the limit of the store.
        const bool fullLibrary = seed % 16 == 0;
        fullLibraryStreams += fullLibrary ? 1 : 0;
        const std::string problem = runStream(keys, watchdog, fullLibrary);
        if (!problem.empty()) {
            ++failures;
            ADD_FAILURE() << problem << (fullLibrary ? " (full library)" : "") << "\n  reproduce: DVD_FUZZ_SEED=" << seed << " DVD_FUZZ_STREAMS=1"
                          << "\n  keys: " << describeKeys(keys);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("key fuzzing: %lld streams (%lld with a full library) from seed %llu, %lld keys read, %lld ended by Escape in the main menu, "
                "library +%lld/-%lld lines, rental +%lld/-%lld lines, %lld save failures and %lld other messages "
                "shown, %.1f s\n",
                streams, fullLibraryStreams, firstSeed, keysTyped, streamsEndedByEscape, watch.files[0].appends, watch.files[0].removals,
                watch.files[1].appends, watch.files[1].removals, saveFailuresShown, otherMessagesShown, seconds);
    RecordProperty("streams", std::to_string(streams));
    RecordProperty("keys", std::to_string(keysTyped));
    // A generator that never reaches the saving steps would test nothing.
    if (streams >= 100) {
        EXPECT_GT(watch.files[0].appends, 0);
        EXPECT_GT(watch.files[0].removals, 0);
        EXPECT_GT(watch.files[1].appends, 0);
        EXPECT_GT(watch.files[1].removals, 0);
    }
}

}  // namespace

namespace {

// The harness itself: a deletion and an entry typed with pauses are seen as
// one removed and one appended line.
TEST_F(KeyFuzz, SeesADeletionAndAnEntryAsOneLineEach) {
    Watchdog watchdog(std::chrono::seconds(60));
    std::vector<TimedKey> keys;
    long long at = 0;
    auto type = [&](const std::string& text, long long pause) {
        at += pause;
        for (unsigned char byte : text) keys.push_back({byte, at});
    };
    type("12", 0);
    type("Der Pate\r", 100);
    type("j\r", 100);
    type("1", 100);
    // A field typed ahead would replace the next step: one field at a time.
    for (const char* field : {"Drama\r", "Neu\r", "New\r", "90\r"}) type(field, 100);
    keys.push_back({0, at + 100});
    keys.push_back({59, at + 100});
    const std::string problem = runStream(keys, watchdog);
    EXPECT_EQ(problem, "");
    EXPECT_EQ(watch.files[0].removals, 1);
    EXPECT_EQ(watch.files[0].appends, 1);
}

}  // namespace

namespace {

// The judgement the watch passes on a change, on its own: anything but one
// appended or one removed line, and any file not in the program's own form,
// is reported.
TEST(DataFileJudgement, TellsOneLineChangesFromAllOthers) {
    const std::vector<std::string> three = {"a", "b", "c"};
    EXPECT_EQ(classifyChange(three, {"a", "b", "c", "d"}), LineChange::OneAppended);
    EXPECT_EQ(classifyChange(three, {"a", "c"}), LineChange::OneRemoved);
    EXPECT_EQ(classifyChange(three, {"b", "c"}), LineChange::OneRemoved);
    EXPECT_EQ(classifyChange(three, {"c"}), LineChange::Other);
    EXPECT_EQ(classifyChange(three, {"a", "c", "b"}), LineChange::Other);
    EXPECT_EQ(classifyChange(three, {"a", "b", "x"}), LineChange::Other);
    EXPECT_EQ(classifyChange(three, {"x", "a", "b", "c"}), LineChange::Other);

    std::vector<std::string> lines;
    EXPECT_EQ(splitDataFile("Drama,\"Eins, Zwei\",\"Das \"\"Boot\"\"\",90,\r\n", LIBRARY_LINES, lines), "");
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_NE(splitDataFile("Drama,Titel,Title,90,\r\nDrama,Tit", LIBRARY_LINES, lines), "") << "a cut last line";
    EXPECT_NE(splitDataFile("Drama,Titel,Title,\r\n", LIBRARY_LINES, lines), "") << "a field missing";
    EXPECT_NE(splitDataFile("\"Drama\",Titel,Title,90,\r\n", LIBRARY_LINES, lines), "") << "quoted without need";
    EXPECT_NE(splitDataFile("Drama,Ti\ttel,Title,90,\r\n", LIBRARY_LINES, lines), "") << "a control byte";
    EXPECT_NE(splitDataFile("Titel,Name,Vorname\nTitel,Name,Vorname\r\n", RENTAL_LINES, lines), "") << "a bare LF";
    EXPECT_EQ(splitDataFile("Titel,Name,Vorname\r\n", RENTAL_LINES, lines), "");
}

}  // namespace
