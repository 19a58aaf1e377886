#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <random>
#include <thread>

#include "TerminalDriving.h"

// Faults from outside while the program works: a full disk (a file-size
// limit), a data file replaced by a directory or deleted while a dialog is
// open, the terminal hung up in the middle of a form. No record may be lost,
// a failed save must be shown where the operator looks, and the terminal must
// be given back.
//
//   DVD_FAULT_ROUNDS  rounds of random hang-ups (default 6)
namespace {

using namespace robustness;
using end_to_end::expectTerminalGivenBack;
using end_to_end::fileBytes;
namespace fs = std::filesystem;

constexpr std::string_view SAVE_FAILED = "SPEICHERN FEHLGESCHLAGEN!";
// Where the dialogs show it: delete, return, new-DVD form, lend form.
constexpr int DELETE_MESSAGE_ROW = 24, DELETE_MESSAGE_COLUMN = 20;
constexpr int RETURN_MESSAGE_ROW = 24, RETURN_MESSAGE_COLUMN = 10;
constexpr int NEW_DVD_MESSAGE_ROW = 30, NEW_DVD_MESSAGE_COLUMN = 25;
constexpr int LEND_MESSAGE_ROW = 20, LEND_MESSAGE_COLUMN = 30;

long long faultsTried = 0;

class FaultCount : public ::testing::Environment {
public:
    void TearDown() override {
        if (faultsTried > 0) std::printf("faults: %lld tried\n", faultsTried);
    }
};
const auto* const faultCount = ::testing::AddGlobalTestEnvironment(new FaultCount);

std::vector<Record> someLibrary() {
    std::vector<Record> records;
    for (int i = 0; i < 40; ++i)
        records.push_back({"Drama", "Film " + std::to_string(i), "Movie " + std::to_string(i), std::to_string(80 + i)});
    return records;
}

std::vector<Record> someRentals() {
    std::vector<Record> records;
    for (int i = 0; i < 20; i += 2) records.push_back({"Film " + std::to_string(i), "Meier", "Anna"});
    return records;
}

class Faults : public ::testing::Test {
protected:
    void SetUp() override {
        libraryBytes = encodeFile(someLibrary(), LIBRARY_LINES);
        rentalBytes = encodeFile(someRentals(), RENTAL_LINES);
        end_to_end::writeFile(libraryPath(), libraryBytes);
        end_to_end::writeFile(rentalPath(), rentalBytes);
    }

    std::string libraryPath() const { return directory.file(LIBRARY_FILE); }
    std::string rentalPath() const { return directory.file(RENTAL_FILE); }

    void expectFilesAsWritten() {
        EXPECT_EQ(fileBytes(libraryPath()), libraryBytes) << LIBRARY_FILE << " changed";
        EXPECT_EQ(fileBytes(rentalPath()), rentalBytes) << RENTAL_FILE << " changed";
    }

    void expectNoTemporaryFiles(const std::vector<std::string>& allowed = {}) {
        for (const std::string& name : strayFiles(directory))
            if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) ADD_FAILURE() << "left behind: " << name;
    }

    // The limit is in place before the program starts, as a shell's ulimit
    // would set it; the ignored SIGXFSZ turns a write past it into an error.
    std::unique_ptr<PtySession> startWithFileSizeLimit(rlim_t bytes) {
        rlimit saved{};
        ::getrlimit(RLIMIT_FSIZE, &saved);
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        struct sigaction previous {};
        ::sigaction(SIGXFSZ, &ignore, &previous);
        const rlimit limited{bytes, saved.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limited);
        auto session = startProgram(directory);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        ::sigaction(SIGXFSZ, &previous, nullptr);
        return session;
    }

    void leaveAndExpectTerminalBack(PtySession& session) {
        EXPECT_TRUE(leaveWithStatusZero(session)) << screenDump(session);
        expectTerminalGivenBack(session);
    }

    end_to_end::ScratchDirectory directory;
    std::string libraryBytes;
    std::string rentalBytes;
};

TEST_F(Faults, FullDiskRefusesTheRewritesAndSaysSo) {
    // Below the size of either file, so that neither can be written anew.
    auto session = startWithFileSizeLimit(std::min(libraryBytes.size(), rentalBytes.size()) / 2);
    PtySession& program = *session;
    ASSERT_TRUE(awaitMainScreen(program));
    ASSERT_TRUE(openLibraryMenu(program));
    ASSERT_TRUE(openDeleteAndAsk(program, "Film 3")) << screenDump(program);
    program.send("j\r");
    ++faultsTried;
    EXPECT_TRUE(messageShown(program, DELETE_MESSAGE_ROW, DELETE_MESSAGE_COLUMN, SAVE_FAILED)) << screenDump(program);
    ASSERT_TRUE(program.pumpUntil([&] { return end_to_end::menuAwaitsChoice(program.screen(), 25); }));
    expectFilesAsWritten();

    ASSERT_TRUE(escapeToMainScreen(program));
    ASSERT_TRUE(openRentalMenu(program));
    ASSERT_TRUE(openReturnAndAsk(program, "Film 4")) << screenDump(program);
    program.send("j\r");
    ++faultsTried;
    EXPECT_TRUE(messageShown(program, RETURN_MESSAGE_ROW, RETURN_MESSAGE_COLUMN, SAVE_FAILED)) << screenDump(program);
    ASSERT_TRUE(program.pumpUntil([&] { return end_to_end::menuAwaitsChoice(program.screen(), 25); }));
    expectFilesAsWritten();
    expectNoTemporaryFiles();
    leaveAndExpectTerminalBack(program);
}

// Room for a part of the new line only: the part must not stay in the file.
TEST_F(Faults, FullDiskKeepsAPartOfANewLineOutOfTheFile) {
    {
        auto session = startWithFileSizeLimit(libraryBytes.size() + 10);
        PtySession& program = *session;
        ASSERT_TRUE(awaitMainScreen(program));
        ASSERT_TRUE(openLibraryMenu(program));
        ASSERT_TRUE(fillNewDvdForm(program, {"Krimi", "Ein neuer Film", "A new film", "95"})) << screenDump(program);
        program.send(F1);
        ++faultsTried;
        EXPECT_TRUE(messageShown(program, NEW_DVD_MESSAGE_ROW, NEW_DVD_MESSAGE_COLUMN, SAVE_FAILED)) << screenDump(program);
        expectFilesAsWritten();
        leaveAndExpectTerminalBack(program);
    }
    {
        auto session = startWithFileSizeLimit(rentalBytes.size() + 10);
        PtySession& program = *session;
        ASSERT_TRUE(awaitMainScreen(program));
        ASSERT_TRUE(openRentalMenu(program));
        ASSERT_TRUE(fillLendForm(program, {"Film 1", "Schulze", "Berta"})) << screenDump(program);
        program.send(F1);
        ++faultsTried;
        EXPECT_TRUE(messageShown(program, LEND_MESSAGE_ROW, LEND_MESSAGE_COLUMN, SAVE_FAILED)) << screenDump(program);
        expectFilesAsWritten();
        leaveAndExpectTerminalBack(program);
    }
    expectNoTemporaryFiles();
}

TEST_F(Faults, DirectoryInPlaceOfTheLibraryFile) {
    auto session = startProgram(directory);
    PtySession& program = *session;
    ASSERT_TRUE(awaitMainScreen(program));
    ASSERT_TRUE(openLibraryMenu(program));
    ASSERT_TRUE(openDeleteAndAsk(program, "Film 5")) << screenDump(program);
    // Replaced between the dialog's reading and its writing.
    const std::string aside = libraryPath() + ".aside";
    fs::rename(libraryPath(), aside);
    fs::create_directory(libraryPath());
    program.send("j\r");
    ++faultsTried;
    EXPECT_TRUE(messageShown(program, DELETE_MESSAGE_ROW, DELETE_MESSAGE_COLUMN, SAVE_FAILED)) << screenDump(program);
    ASSERT_TRUE(program.pumpUntil([&] { return end_to_end::menuAwaitsChoice(program.screen(), 25); }));

    ASSERT_TRUE(fillNewDvdForm(program, {"Krimi", "Noch ein Film", "Another film", "95"})) << screenDump(program);
    program.send(F1);
    ++faultsTried;
    EXPECT_TRUE(messageShown(program, NEW_DVD_MESSAGE_ROW, NEW_DVD_MESSAGE_COLUMN, SAVE_FAILED)) << screenDump(program);
    ASSERT_TRUE(program.pumpUntil([&] { return end_to_end::showsAt(program.screen(), 26, 20, "F2 Nicht Speichern"); }));
    program.send(ESCAPE);
    ASSERT_TRUE(program.pumpUntil([&] { return end_to_end::menuAwaitsChoice(program.screen(), 25); }));

    // The list reads nothing from a directory and says so with an empty list.
    program.send("4");
    ++faultsTried;
    EXPECT_TRUE(program.pumpUntil([&] { return end_to_end::headingShown(program.screen(), "DVD - Liste anzeigen"); }))
        << screenDump(program);
    EXPECT_EQ(program.screen().title(), "DVD Verwaltung");
    ASSERT_TRUE(escapeToSubMenu(program, "DVD - Bibliothek"));

    EXPECT_TRUE(fs::is_directory(libraryPath()));
    EXPECT_TRUE(fs::is_empty(libraryPath())) << "something was written into the directory";
    EXPECT_EQ(fileBytes(aside), libraryBytes);
    EXPECT_EQ(fileBytes(rentalPath()), rentalBytes);
    expectNoTemporaryFiles({std::string(LIBRARY_FILE) + ".aside"});
    leaveAndExpectTerminalBack(program);
}

// Deleted between the dialog's reading and its writing: the program must not
// write back its copy as if nothing had happened.
TEST_F(Faults, DataFileDeletedWhileTheDeleteOrReturnDialogAsks) {
    auto session = startProgram(directory);
    PtySession& program = *session;
    ASSERT_TRUE(awaitMainScreen(program));
    ASSERT_TRUE(openLibraryMenu(program));
    ASSERT_TRUE(openDeleteAndAsk(program, "Film 6")) << screenDump(program);
    fs::remove(libraryPath());
    program.send("j\r");
    ++faultsTried;
    EXPECT_TRUE(messageShown(program, DELETE_MESSAGE_ROW, DELETE_MESSAGE_COLUMN, SAVE_FAILED)) << screenDump(program);
    ASSERT_TRUE(program.pumpUntil([&] { return end_to_end::menuAwaitsChoice(program.screen(), 25); }));
    EXPECT_EQ(fileBytes(libraryPath()), "") << "the deleted file came back with the dialog's copy";

    ASSERT_TRUE(escapeToMainScreen(program));
    ASSERT_TRUE(openRentalMenu(program));
    ASSERT_TRUE(openReturnAndAsk(program, "Film 8")) << screenDump(program);
    fs::remove(rentalPath());
    program.send("j\r");
    ++faultsTried;
    EXPECT_TRUE(messageShown(program, RETURN_MESSAGE_ROW, RETURN_MESSAGE_COLUMN, SAVE_FAILED)) << screenDump(program);
    ASSERT_TRUE(program.pumpUntil([&] { return end_to_end::menuAwaitsChoice(program.screen(), 25); }));
    EXPECT_EQ(fileBytes(rentalPath()), "") << "the deleted file came back with the dialog's copy";
    expectNoTemporaryFiles();
    leaveAndExpectTerminalBack(program);
}

// A form never read the file: its one new line starts the file anew.
TEST_F(Faults, DataFileDeletedWhileAFormIsFilledKeepsTheNewRecord) {
    auto session = startProgram(directory);
    PtySession& program = *session;
    ASSERT_TRUE(awaitMainScreen(program));
    ASSERT_TRUE(openRentalMenu(program));
    const Record lending{"Film 3", "Schulze", "Berta"};
    ASSERT_TRUE(fillLendForm(program, lending)) << screenDump(program);
    fs::remove(rentalPath());
    program.send(F1);
    ++faultsTried;
    ASSERT_TRUE(program.pumpUntil([&] { return fileBytes(rentalPath()) == encodeLine(lending, RENTAL_LINES); }))
        << "rental file: " << printable(fileBytes(rentalPath()));
    ASSERT_TRUE(escapeToSubMenu(program, "DVD - Verleih"));
    ASSERT_TRUE(escapeToMainScreen(program));

    ASSERT_TRUE(openLibraryMenu(program));
    const Record dvd{"Krimi", "Ganz neu", "Brand new", "90"};
    ASSERT_TRUE(fillNewDvdForm(program, dvd)) << screenDump(program);
    fs::remove(libraryPath());
    program.send(F1);
    ++faultsTried;
    ASSERT_TRUE(program.pumpUntil([&] { return fileBytes(libraryPath()) == encodeLine(dvd, LIBRARY_LINES); }))
        << "library file: " << printable(fileBytes(libraryPath()));
    expectNoTemporaryFiles();
    leaveAndExpectTerminalBack(program);
}

TEST_F(Faults, HangUpSignalInTheMiddleOfAFormGivesTheTerminalBack) {
    auto session = startProgram(directory);
    PtySession& program = *session;
    ASSERT_TRUE(awaitMainScreen(program));
    ASSERT_TRUE(openLibraryMenu(program));
    program.send("1");
    ASSERT_TRUE(program.pumpUntil([&] { return end_to_end::showsAt(program.screen(), 10, 20, "Film Art:"); }));
    program.send("Kri");
    ASSERT_TRUE(program.pumpUntil([&] { return end_to_end::showsAt(program.screen(), 10, 40, "Kri"); }));
    program.sendSignal(SIGHUP);
    ++faultsTried;
    const std::optional<int> status = program.waitForExit();
    ASSERT_TRUE(status.has_value()) << "the program outlived the hang-up";
    EXPECT_TRUE(WIFSIGNALED(*status) && WTERMSIG(*status) == SIGHUP) << end_to_end::describeWaitStatus(*status);
    expectTerminalGivenBack(program);
    expectFilesAsWritten();
    expectNoTemporaryFiles();
}

TEST_F(Faults, TerminalClosedAtASavePromptOrAQuestionLosesNothing) {
    {
        auto session = startProgram(directory);
        PtySession& program = *session;
        ASSERT_TRUE(awaitMainScreen(program));
        ASSERT_TRUE(openRentalMenu(program));
        ASSERT_TRUE(fillLendForm(program, {"Film 1", "Schulze", "Berta"})) << screenDump(program);
        program.hangUp();
        ++faultsTried;
        EXPECT_TRUE(program.waitForExit().has_value()) << "the program outlived its terminal";
    }
    {
        auto session = startProgram(directory);
        PtySession& program = *session;
        ASSERT_TRUE(awaitMainScreen(program));
        ASSERT_TRUE(openLibraryMenu(program));
        ASSERT_TRUE(openDeleteAndAsk(program, "Film 2")) << screenDump(program);
        program.send("j");  // typed, not confirmed with Enter
        ASSERT_TRUE(program.pumpUntil([&] { return end_to_end::showsAt(program.screen(), 22, 27, "j"); }));
        program.hangUp();
        ++faultsTried;
        EXPECT_TRUE(program.waitForExit().has_value()) << "the program outlived its terminal";
    }
    expectFilesAsWritten();
    expectNoTemporaryFiles();
}

// Hang-ups at random moments of random dialogs: the program ends, and each
// file is as it was or changed by the one line the dialog was about.
TEST_F(Faults, RandomHangUpsEndTheProgramWithTheFilesWhole) {
    const long long rounds = environmentNumber("DVD_FAULT_ROUNDS", 6);
    std::mt19937_64 random(static_cast<std::uint64_t>(environmentNumber("DVD_FAULT_SEED", 11)));
    auto below = [&](int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random); };
    long long temporaryFilesLeft = 0;
    for (long long round = 0; round < rounds && !HasFailure(); ++round) {
        std::vector<std::string> before[2];
        ASSERT_EQ(splitDataFile(fileBytes(libraryPath()), LIBRARY_LINES, before[0]), "");
        ASSERT_EQ(splitDataFile(fileBytes(rentalPath()), RENTAL_LINES, before[1]), "");
        auto session = startProgram(directory);
        PtySession& program = *session;
        ASSERT_TRUE(awaitMainScreen(program));
        // Titles that are still there, so that every dialog gets to its question.
        auto titleIn = [&](int side) {
            const std::string& line = before[side][static_cast<std::size_t>(below(static_cast<int>(before[side].size())))];
            const std::size_t start = side == 0 ? line.find(',') + 1 : 0;
            return line.substr(start, line.find(',', start) - start);
        };
        int scenario = below(4);
        if (scenario == 1 && before[1].empty()) scenario = 3;
        const std::string film = titleIn(0);
        // The keys of the scenario go out in a burst after the dialog is
        // open; the hang-up comes at a random moment during or after them.
        std::string keys;
        if (scenario == 0) {
            ASSERT_TRUE(openLibraryMenu(program));
            ASSERT_TRUE(openDeleteAndAsk(program, film));
            keys = "j\r";
        } else if (scenario == 1) {
            ASSERT_TRUE(openRentalMenu(program));
            ASSERT_TRUE(openReturnAndAsk(program, titleIn(1)));
            keys = "j\r";
        } else if (scenario == 2) {
            ASSERT_TRUE(openLibraryMenu(program));
            ASSERT_TRUE(fillNewDvdForm(program, {"Neu", "Runde " + std::to_string(round), "Round", "90"}));
            keys = F1;
        } else {
            ASSERT_TRUE(openRentalMenu(program));
            ASSERT_TRUE(fillLendForm(program, {film, "Runde " + std::to_string(round), "X"}));
            keys = F1;
        }
        program.send(keys);
        std::this_thread::sleep_for(std::chrono::microseconds(below(20000)));
        const bool bySignal = below(2) == 0;
        if (bySignal)
            program.sendSignal(SIGHUP);
        else
            program.hangUp();
        ++faultsTried;
        const std::optional<int> status = program.waitForExit();
        ASSERT_TRUE(status.has_value()) << "round " << round << ": the program outlived the hang-up";
        if (bySignal) {
            const termios modes = program.terminalModes();
            EXPECT_EQ(modes.c_lflag, program.originalModes().c_lflag) << "round " << round << ": line discipline not given back";
        }
        const char* names[2] = {LIBRARY_FILE, RENTAL_FILE};
        const LineLayout layouts[2] = {LIBRARY_LINES, RENTAL_LINES};
        for (int side = 0; side < 2; ++side) {
            std::vector<std::string> after;
            const std::string problem = splitDataFile(fileBytes(directory.file(names[side])), layouts[side], after);
            EXPECT_EQ(problem, "") << "round " << round << ": " << names[side];
            const LineChange change = classifyChange(before[side], after);
            EXPECT_NE(change, LineChange::Other) << "round " << round << ": " << names[side] << " " << describe(change);
        }
        // A save cut short by the signal leaves its temporary file; it is
        // counted and cleared so that each round starts from the two files.
        for (const std::string& name : strayFiles(directory)) {
            ++temporaryFilesLeft;
            fs::remove(directory.file(name));
        }
    }
    std::printf("random hang-ups: %lld rounds, %lld temporary files left by cut saves\n", rounds, temporaryFilesLeft);
}

}  // namespace
