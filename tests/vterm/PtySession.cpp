#include "PtySession.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;
// Short enough that a condition on something other than output (a file's
// contents) is noticed quickly, long enough to cost nothing.
constexpr PtySession::Milliseconds kPollSlice{10};

void setFlag(int descriptor, int flag) { ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) | flag); }
void setCloseOnExec(int descriptor) { ::fcntl(descriptor, F_SETFD, FD_CLOEXEC); }

// What a freshly opened pseudo-terminal starts with on this system.
termios freshTerminalModes() {
    int master = -1;
    int slave = -1;
    termios modes{};
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
    ::tcgetattr(slave, &modes);
    ::close(slave);
    ::close(master);
    return modes;
}

// In the child, before exec: the environment and directory the test asked for.
void prepareChild(const PtySession::Options& options) {
    if (!options.workingDirectory.empty() && ::chdir(options.workingDirectory.c_str()) != 0) ::_exit(126);
    // Tests end the program with SIGQUIT and crash signals on purpose.
    const rlimit noCoreFiles{0, 0};
    ::setrlimit(RLIMIT_CORE, &noCoreFiles);
    ::setenv("TERM", "xterm-256color", 1);
    for (const std::string& entry : options.environment) {
        const auto equals = entry.find('=');
        if (equals == std::string::npos) continue;
        ::setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
    }
}

[[noreturn]] void execProgram(const PtySession::Options& options) {
    char* const arguments[] = {const_cast<char*>(options.program.c_str()), nullptr};
    ::execv(options.program.c_str(), arguments);
    ::_exit(127);
}

void writeAllTo(int descriptor, const void* data, size_t length) {
    const char* bytes = static_cast<const char*>(data);
    while (length > 0) {
        const ssize_t written = ::write(descriptor, bytes, length);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return;
        bytes += written;
        length -= static_cast<size_t>(written);
    }
}

}  // namespace

PtySession::PtySession(Options options) : screen_(options.rows, options.columns) {
    if (options.program.empty()) throw std::invalid_argument("no program to start");
    originalModes_ = freshTerminalModes();
    if (options.underJobControlShell)
        startUnderShell(options);
    else
        startDirect(options);
}

PtySession::~PtySession() {
    if (!exitStatus_ && programPid_ > 0) ::kill(programPid_, SIGKILL);
    if (childPid_ > 0) {
        ::kill(childPid_, SIGKILL);
        int status = 0;
        while (::waitpid(childPid_, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (master_ >= 0) ::close(master_);
    if (shellChannel_ >= 0) ::close(shellChannel_);
}

void PtySession::startDirect(const Options& options) {
    winsize size{};
    size.ws_row = static_cast<unsigned short>(options.rows);
    size.ws_col = static_cast<unsigned short>(options.columns);
    const pid_t pid = ::forkpty(&master_, nullptr, &originalModes_, &size);
    if (pid < 0) throw std::runtime_error("forkpty failed");
    if (pid == 0) {
        prepareChild(options);
        execProgram(options);
    }
    childPid_ = pid;
    programPid_ = pid;
    setFlag(master_, O_NONBLOCK);
    setCloseOnExec(master_);
}

// The shell is the session leader; the program gets a process group of its
// own in the foreground. A group with a parent outside it in the same session
// is not orphaned, so the kernel carries out a stop instead of discarding it.
void PtySession::startUnderShell(const Options& options) {
    int channel[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, channel) != 0)
        throw std::runtime_error("socketpair failed");
    winsize size{};
    size.ws_row = static_cast<unsigned short>(options.rows);
    size.ws_col = static_cast<unsigned short>(options.columns);
    const pid_t pid = ::forkpty(&master_, nullptr, &originalModes_, &size);
    if (pid < 0) throw std::runtime_error("forkpty failed");
    if (pid == 0) {
        ::close(channel[0]);
        const int toTest = channel[1];
        for (int signalNumber : {SIGTTOU, SIGTTIN, SIGTSTP, SIGINT, SIGQUIT}) ::signal(signalNumber, SIG_IGN);
        prepareChild(options);
        const pid_t program = ::fork();
        if (program < 0) ::_exit(125);
        if (program == 0) {
            ::setpgid(0, 0);
            ::tcsetpgrp(STDIN_FILENO, ::getpid());
            for (int signalNumber : {SIGTTOU, SIGTTIN, SIGTSTP, SIGINT, SIGQUIT}) ::signal(signalNumber, SIG_DFL);
            execProgram(options);
        }
        ::setpgid(program, program);
        ::tcsetpgrp(STDIN_FILENO, program);
        ShellMessage message{ShellEvent::Started, program};
        writeAllTo(toTest, &message, sizeof message);
        for (;;) {
            int status = 0;
            if (::waitpid(program, &status, WUNTRACED) < 0) {
                if (errno == EINTR) continue;
                ::_exit(124);
            }
            if (WIFSTOPPED(status)) {
                ::tcsetpgrp(STDIN_FILENO, ::getpgrp());
                message = {ShellEvent::Stopped, WSTOPSIG(status)};
                writeAllTo(toTest, &message, sizeof message);
                char command = 0;
                if (::read(toTest, &command, 1) != 1) ::_exit(123);
                ::tcsetpgrp(STDIN_FILENO, program);
                ::kill(-program, SIGCONT);
                continue;
            }
            message = {ShellEvent::Exited, status};
            writeAllTo(toTest, &message, sizeof message);
            ::_exit(0);
        }
    }
    ::close(channel[1]);
    shellChannel_ = channel[0];
    childPid_ = pid;
    setFlag(master_, O_NONBLOCK);
    setCloseOnExec(master_);
    setFlag(shellChannel_, O_NONBLOCK);
    if (!pumpUntil([this] { return programPid_ > 0; })) throw std::runtime_error("the shell did not start the program");
}

void PtySession::send(std::string_view bytes) {
    const auto deadline = Clock::now() + kPatience;
    while (!bytes.empty() && master_ >= 0) {
        const ssize_t written = ::write(master_, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<size_t>(written));
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) return;
        if (Clock::now() > deadline) throw std::runtime_error("the program does not read its input");
        pollfd writable{master_, POLLOUT, 0};
        ::poll(&writable, 1, static_cast<int>(kPollSlice.count()));
        readOutput();  // a program blocked on output reads no input
    }
}

bool PtySession::pumpUntil(const std::function<bool()>& condition, Milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        const auto now = Clock::now();
        if (now >= deadline) return false;
        pumpOnce(std::min(kPollSlice, std::chrono::duration_cast<Milliseconds>(deadline - now) + Milliseconds(1)));
    }
}

void PtySession::pumpFor(Milliseconds span) {
    const auto deadline = Clock::now() + span;
    pumpUntil([deadline] { return Clock::now() >= deadline; }, span + Milliseconds(100));
}

std::optional<int> PtySession::waitForExit(Milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    if (!pumpUntil([this] { return programEnded(); }, timeout)) return std::nullopt;
    // The shell, if any, ends right after; once no one holds the terminal's
    // other side, reading it yields what is left and then EIO.
    pumpUntil([this] { return programEnded() && childPid_ < 0 && (master_ < 0 || terminalDrained_); },
              std::max(Milliseconds(100), std::chrono::duration_cast<Milliseconds>(deadline - Clock::now())));
    return exitStatus_;
}

void PtySession::resize(int rows, int columns) {
    screen_.resize(rows, columns);
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows);
    size.ws_col = static_cast<unsigned short>(columns);
    ::ioctl(master_, TIOCSWINSZ, &size);
}

void PtySession::sendSignal(int signalNumber) { ::kill(programPid_, signalNumber); }

void PtySession::hangUp() {
    if (master_ < 0) return;
    ::close(master_);
    master_ = -1;
}

bool PtySession::waitForStop(Milliseconds timeout) {
    return pumpUntil([this] { return stopped_ || exitStatus_.has_value(); }, timeout) && stopped_;
}

void PtySession::continueInForeground() {
    if (shellChannel_ < 0 || !stopped_) return;
    stopped_ = false;
    const char command = 'C';
    writeAllTo(shellChannel_, &command, 1);
}

termios PtySession::terminalModes() const {
    termios modes{};
    ::tcgetattr(master_, &modes);
    return modes;
}

void PtySession::pumpOnce(Milliseconds span) {
    pollfd descriptors[2];
    nfds_t count = 0;
    if (master_ >= 0 && !terminalDrained_) descriptors[count++] = {master_, POLLIN, 0};
    if (shellChannel_ >= 0) descriptors[count++] = {shellChannel_, POLLIN, 0};
    ::poll(count > 0 ? descriptors : nullptr, count, static_cast<int>(span.count()));
    readOutput();
    readShellMessages();
}

void PtySession::readOutput() {
    if (master_ < 0 || terminalDrained_) return;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(master_, buffer, sizeof buffer);
        if (count > 0) {
            const std::string_view bytes(buffer, static_cast<size_t>(count));
            output_.append(bytes);
            screen_.feed(bytes);
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        // EIO: no one holds the program's side any more and all was read.
        if (count == 0 || (count < 0 && errno == EIO)) terminalDrained_ = true;
        break;
    }
    // Answers to the program's queries go back to it, as a terminal's would.
    const std::string replies = screen_.takeReplies();
    if (!replies.empty()) send(replies);
}

void PtySession::readShellMessages() {
    if (shellChannel_ < 0) return;
    ShellMessage message{};
    while (::recv(shellChannel_, &message, sizeof message, 0) == static_cast<ssize_t>(sizeof message)) {
        switch (message.event) {
        case ShellEvent::Started: programPid_ = message.value; break;
        case ShellEvent::Stopped: stopped_ = true; break;
        case ShellEvent::Exited: exitStatus_ = message.value; break;
        }
    }
}

bool PtySession::programEnded() {
    if (childPid_ > 0) {
        int status = 0;
        if (::waitpid(childPid_, &status, WNOHANG) == childPid_) {
            childPid_ = -1;
            if (shellChannel_ < 0) exitStatus_ = status;
        }
    }
    readShellMessages();
    return exitStatus_.has_value();
}
