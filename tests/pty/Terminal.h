#pragma once
#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Screen.h"
#include "support/TestTime.h"

// A program started in a pseudo-terminal, its output read into a Screen.
// Every wait is bounded and sleeps in poll(): a hung program fails a case
// instead of hanging it. The bounds grow with DVD_TEST_TIME_SCALE.
class Terminal {
public:
    using Milliseconds = std::chrono::milliseconds;
    // How long the program may take to answer, to read its input, to end.
    static Milliseconds patience() { return testtime::scaled(Milliseconds(5000)); }

    struct Options {
        std::vector<std::string> command;      // the program and its arguments
        std::string directory;                 // working directory; empty: ours
        int rows = 49;
        int columns = 80;
        std::vector<std::string> environment;  // NAME=value, added to ours; -NAME removed
        std::string errorFile{};               // standard error goes here; empty: with the output
        long long fileSizeLimit = -1;          // bytes a file may grow to (a full disk)
        // Below a small job-control shell, as from an interactive shell:
        // only then does Ctrl+Z stop the program.
        bool jobControl = false;
        // No terminal: keys through a pipe, output into a pipe.
        bool piped = false;
        // Standard streams (0, 1, 2) given otherwise: "closed", or a file ("/dev/full").
        std::map<int, std::string> streams{};
    };

    explicit Terminal(Options options);
    ~Terminal();  // kills what still runs
    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    void send(std::string_view bytes);
    // Reads output until the condition holds; false when the time ran out.
    bool waitFor(const std::function<bool()>& condition, Milliseconds timeout = patience());
    void pumpFor(Milliseconds span);
    // The wait status once the program ended and its output is read, or nothing.
    // Under the job-control shell: the shell's status (128 + signal when killed).
    std::optional<int> waitForExit(Milliseconds timeout = patience());

    void resize(int rows, int columns);  // the kernel sends SIGWINCH
    void signal(int number);
    void hangUp();  // the kernel hangs up the program's terminal; piped: end of input
    void stopReading();  // piped: the output's reader takes its first bytes and goes
    bool waitForStop(Milliseconds timeout = patience());  // job control only
    bool asleep() const;  // the program waits (for a key, or in a pause), it does not run
    void resume();                                        // the shell's "fg"

    termios modes() const;  // the line discipline as the program sees it
    const termios& originalModes() const { return originalModes_; }
    Screen& screen() { return screen_; }
    const std::string& output() const { return output_; }  // every byte written
    pid_t pid() const { return programPid_; }

private:
    void startPiped(const Options& options);
    void pumpOnce(Milliseconds span);
    void readOutput();
    bool ended();

    Screen screen_;
    termios originalModes_{};
    int master_ = -1;  // the output we read
    int input_ = -1;   // where keys go: the same pty, or a pipe
    pid_t childPid_ = -1;    // the program or the shell
    pid_t programPid_ = -1;
    bool drained_ = false;   // the program's side is closed and all output read
    std::optional<int> status_;
    std::string output_;
};

std::string readFile(const std::string& path);  // empty when missing
void writeFile(const std::string& path, std::string_view bytes);
std::string describeStatus(int waitStatus);
// Key codes (keys::parseNotation) as a terminal sends them: UTF-8, xterm's sequences.
std::string terminalBytes(const std::vector<int>& codes);
