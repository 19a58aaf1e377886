#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <optional>
#include <string>

#include "EndToEndSupport.h"

// Without a terminal: keys from a pipe, text to a file. End of input reads as
// Escape, so the program unwinds through its menus and ends with status 0.
namespace {

using namespace end_to_end;

struct PipedRun {
    std::optional<int> status;  // nothing: still running when the time was up (then killed)
    std::string output;
};

// closedDescriptor: 0, 1 or 2 is closed instead of connected (-1: none).
PipedRun runWithKeysFromPipe(const ScratchDirectory& directory, const std::string& keys, int closedDescriptor = -1) {
    int input[2];
    if (::pipe(input) != 0) return {};
    // A program that ends before reading its keys must not end the test.
    ::signal(SIGPIPE, SIG_IGN);
    const std::string outputPath = directory.file("output.txt");
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGPIPE, SIG_DFL);
        const int output = ::open(outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (output < 0 || ::chdir(directory.path().c_str()) != 0) ::_exit(126);
        ::dup2(input[0], STDIN_FILENO);
        ::dup2(output, STDOUT_FILENO);
        ::dup2(output, STDERR_FILENO);
        ::close(input[0]);
        ::close(input[1]);
        ::close(output);
        if (closedDescriptor >= 0) ::close(closedDescriptor);
        ::execl(DVD_BINARY, DVD_BINARY, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(input[0]);
    [[maybe_unused]] const ssize_t written = ::write(input[1], keys.data(), keys.size());
    ::close(input[1]);

    PipedRun run;
    const auto deadline = std::chrono::steady_clock::now() + PtySession::kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            run.status = status;
            break;
        }
        ::poll(nullptr, 0, 10);
    }
    if (!run.status) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
    }
    run.output = fileBytes(outputPath);
    ::unlink(outputPath.c_str());
    return run;
}

void expectCleanEnd(const PipedRun& run) {
    ASSERT_TRUE(run.status.has_value()) << "the program did not end at the end of its input";
    EXPECT_TRUE(WIFEXITED(*run.status) && WEXITSTATUS(*run.status) == 0) << describeWaitStatus(*run.status);
    EXPECT_NE(run.output.find("Wahl:"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find('\x1b'), std::string::npos) << "terminal sequences in a file";
}

TEST(EndToEndPipe, EndsWithStatusZeroWhenInputIsEmpty) {
    ScratchDirectory directory;
    expectCleanEnd(runWithKeysFromPipe(directory, ""));
}

TEST(EndToEndPipe, UnwindsThroughASubMenuWhenInputRunsDry) {
    ScratchDirectory directory;
    const PipedRun run = runWithKeysFromPipe(directory, "1\x1b\x1b");
    expectCleanEnd(run);
    EXPECT_NE(run.output.find("DVD - Bibliothek"), std::string::npos) << run.output;
}

TEST(EndToEndPipe, UnwindsOutOfAFormWhenInputRunsDry) {
    ScratchDirectory directory;
    // Into the new-DVD form, half a film type typed, then the input ends.
    const PipedRun run = runWithKeysFromPipe(directory, "11Kom");
    expectCleanEnd(run);
    EXPECT_FALSE(fileExists(directory.file("DVDBibliothek.csv"))) << "nothing confirmed, nothing saved";
}

// A closed standard stream would be taken over by the next file the program
// opens (standard input by its wake-up pipe, which it then waited on forever).
TEST(EndToEndPipe, AClosedStandardStreamIsRefusedBeforeAnythingIsCreated) {
    const char* const said[] = {"Standardeingabe ist geschlossen", "Standardausgabe ist geschlossen", nullptr};
    for (int closed = 0; closed <= 2; ++closed) {
        SCOPED_TRACE("descriptor " + std::to_string(closed));
        ScratchDirectory directory;
        const PipedRun run = runWithKeysFromPipe(directory, "11Krimi\t", closed);
        ASSERT_TRUE(run.status.has_value()) << "the program did not end";
        EXPECT_TRUE(WIFEXITED(*run.status) && WEXITSTATUS(*run.status) == 1) << describeWaitStatus(*run.status);
        if (said[closed] != nullptr) {
            EXPECT_NE(run.output.find(said[closed]), std::string::npos) << run.output;
        }
        EXPECT_EQ(run.output.find("Wahl:"), std::string::npos) << run.output;
        EXPECT_TRUE(std::filesystem::is_empty(directory.path()));
    }
}

// Output to a file is what a user reads on the screen, a row a line, in UTF-8:
// a record's control bytes show as their glyphs and drive nothing.
TEST(EndToEndPipe, OutputToAFileIsTheScreenAsPlainText) {
    ScratchDirectory directory;
    writeFile(directory.file("DVDBibliothek.csv"),
              "Krimi,\x1b]2;pwned\x07\x1b[2J,Title \x9b" "31m,95\r\nDrama,Zweiter Film,Second Film,120\r\n");
    const PipedRun run = runWithKeysFromPipe(directory, "14");
    expectCleanEnd(run);
    EXPECT_EQ(run.output, fileBytes(SNAPSHOT_DIR "/plain_text_list.txt"));
}

}  // namespace
