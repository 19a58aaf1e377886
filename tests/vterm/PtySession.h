#pragma once
#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "VtermScreen.h"

// The real program started in a pseudo-terminal, its output read into a
// VtermScreen as a terminal would show it. Every wait is bounded and sleeps
// in poll(), so a hung program fails a test instead of hanging it.
class PtySession {
public:
    using Milliseconds = std::chrono::milliseconds;
    static constexpr Milliseconds kPatience{5000};

    struct Options {
        int rows = 49;
        int columns = 80;
        std::string program;                   // path of the executable
        std::string workingDirectory;          // empty: the test's own
        std::vector<std::string> environment;  // NAME=value, added to the inherited ones
        // Runs the program below a small job-control shell in its own process
        // group, as an interactive shell would; only then does Ctrl+Z stop it.
        bool underJobControlShell = false;
    };

    explicit PtySession(Options options);
    ~PtySession();  // kills what still runs
    PtySession(const PtySession&) = delete;
    PtySession& operator=(const PtySession&) = delete;

    void send(std::string_view bytes);
    // Reads output until the condition holds; false when the time ran out.
    bool pumpUntil(const std::function<bool()>& condition, Milliseconds timeout = kPatience);
    // Reads output for the whole span (to catch what a program writes late).
    void pumpFor(Milliseconds span);
    // The program's wait status once it has ended (output read to the end), or nothing.
    std::optional<int> waitForExit(Milliseconds timeout = kPatience);

    // Sets the terminal's size, as a terminal window does: the kernel sends SIGWINCH.
    void resize(int rows, int columns);
    void sendSignal(int signalNumber);
    // Closes the terminal's master side: the kernel hangs up the program's terminal.
    void hangUp();

    // With the job-control shell: true once the program has stopped.
    bool waitForStop(Milliseconds timeout = kPatience);
    // With the job-control shell: the shell's "fg".
    void continueInForeground();

    // The pty's line discipline settings, as the program's side sees them.
    termios terminalModes() const;
    // The modes the terminal had before the program started.
    const termios& originalModes() const { return originalModes_; }

    VtermScreen& screen() { return screen_; }
    // Every byte the program wrote to the terminal.
    const std::string& output() const { return output_; }
    pid_t programPid() const { return programPid_; }

private:
    enum class ShellEvent : char { Started = 'P', Stopped = 'S', Exited = 'X' };
    struct ShellMessage {
        ShellEvent event;
        int value;
    };

    void startDirect(const Options& options);
    void startUnderShell(const Options& options);
    // One poll over the terminal (and the shell's channel) for at most the span.
    void pumpOnce(Milliseconds span);
    void readOutput();
    void readShellMessages();
    bool programEnded();

    VtermScreen screen_;
    termios originalModes_{};
    int master_ = -1;
    int shellChannel_ = -1;
    pid_t childPid_ = -1;    // the direct child: the program or the shell
    pid_t programPid_ = -1;  // the program itself
    bool stopped_ = false;
    bool terminalDrained_ = false;  // the program's side is closed and all output read
    std::optional<int> exitStatus_;
    std::string output_;
};
