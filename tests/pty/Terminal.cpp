#include "Terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>

#include "console/Cp850.h"
#include "console/Keys.h"

namespace {

using Clock = std::chrono::steady_clock;
// Short enough to notice a condition on files quickly, long enough to cost nothing.
constexpr Terminal::Milliseconds kSlice{10};
constexpr int kJobSignals[] = {SIGTTOU, SIGTTIN, SIGTSTP, SIGINT, SIGQUIT};

[[noreturn]] void execProgram(const Terminal::Options& options) {
    if (!options.errorFile.empty())
        ::dup2(::open(options.errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600), STDERR_FILENO);
    if (!options.directory.empty() && ::chdir(options.directory.c_str()) != 0) ::_exit(126);
    const rlimit noCoreFiles{0, 0};  // cases end the program with crash signals on purpose
    ::setrlimit(RLIMIT_CORE, &noCoreFiles);
    if (options.fileSizeLimit >= 0) {
        // Ignored, SIGXFSZ turns a write past the limit into an error, as a full disk does.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit), RLIM_INFINITY};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    for (const auto& [stream, given] : options.streams) {
        if (given != "closed") ::dup2(::open(given.c_str(), O_RDWR | O_CLOEXEC), stream);
        else ::close(stream);
    }
    ::signal(SIGPIPE, SIG_DFL);  // the player ignores it, the program starts as from a shell
    ::setenv("TERM", "xterm-256color", 1);
    for (const std::string& entry : options.environment)
        if (entry.starts_with('-')) ::unsetenv(entry.c_str() + 1);
        else if (const auto equals = entry.find('='); equals != std::string::npos)
            ::setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
    std::vector<char*> arguments;
    for (const std::string& argument : options.command) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    ::execv(arguments[0], arguments.data());
    ::_exit(127);
}

// The session leader runs the program in a process group of its own in the
// foreground; a group with a parent in the same session is not orphaned, so
// the kernel carries out a stop. After a stop it takes the terminal back and
// waits for a line (the "fg") before continuing the program.
[[noreturn]] void runJobControlShell(const Terminal::Options& options, int pidPipe) {
    for (int number : kJobSignals) ::signal(number, SIG_IGN);
    const pid_t program = ::fork();
    if (program == 0) {
        ::setpgid(0, 0);
        ::tcsetpgrp(STDIN_FILENO, ::getpid());
        for (int number : kJobSignals) ::signal(number, SIG_DFL);
        execProgram(options);
    }
    ::setpgid(program, program);
    ::tcsetpgrp(STDIN_FILENO, program);
    if (::write(pidPipe, &program, sizeof program) != sizeof program) ::_exit(125);
    for (int status = 0;;) {
        if (::waitpid(program, &status, WUNTRACED) < 0) {
            if (errno == EINTR) continue;
            ::_exit(124);
        }
        if (!WIFSTOPPED(status)) ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
        ::tcsetpgrp(STDIN_FILENO, ::getpgrp());
        char line[64];
        if (::read(STDIN_FILENO, line, sizeof line) <= 0) ::_exit(123);
        ::tcsetpgrp(STDIN_FILENO, program);
        ::kill(-program, SIGCONT);
    }
}

winsize sizeOf(int rows, int columns) {
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows);
    size.ws_col = static_cast<unsigned short>(columns);
    return size;
}

char processState(pid_t pid) {
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    const std::string line((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto end = line.rfind(") ");
    return end == std::string::npos || end + 2 >= line.size() ? '?' : line[end + 2];
}

}  // namespace

Terminal::Terminal(Options options) : screen_(options.rows, options.columns) {
    if (options.command.empty()) throw std::invalid_argument("no program to start");
    {  // what a fresh pseudo-terminal starts with, to compare with at the end
        int master = -1, slave = -1;
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) throw std::runtime_error("openpty failed");
        ::tcgetattr(slave, &originalModes_);
        ::close(slave);
        ::close(master);
    }
    if (options.piped) {
        startPiped(options);
        return;
    }
    int pidPipe[2] = {-1, -1};
    if (options.jobControl && ::pipe2(pidPipe, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    winsize size = sizeOf(options.rows, options.columns);
    const pid_t pid = ::forkpty(&master_, nullptr, &originalModes_, &size);
    if (pid < 0) throw std::runtime_error("forkpty failed");
    if (pid == 0) {
        if (options.jobControl) runJobControlShell(options, pidPipe[1]);
        execProgram(options);
    }
    childPid_ = programPid_ = pid;
    input_ = master_;
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    if (options.jobControl) {
        ::close(pidPipe[1]);
        const bool told = ::read(pidPipe[0], &programPid_, sizeof programPid_) == sizeof programPid_;
        ::close(pidPipe[0]);
        if (!told) throw std::runtime_error("the shell did not start the program");
    }
}

void Terminal::startPiped(const Options& options) {
    int keys[2], output[2];
    if (::pipe2(keys, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    childPid_ = programPid_ = ::fork();
    if (childPid_ < 0) throw std::runtime_error("fork failed");
    if (childPid_ == 0) {
        ::dup2(keys[0], STDIN_FILENO);
        ::dup2(output[1], STDOUT_FILENO);
        ::dup2(output[1], STDERR_FILENO);
        execProgram(options);
    }
    ::close(keys[0]);
    ::close(output[1]);
    input_ = keys[1];
    master_ = output[0];
    ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
}

Terminal::~Terminal() {
    if (!status_) {
        ::kill(programPid_, SIGKILL);
        ::kill(childPid_, SIGKILL);
        while (::waitpid(childPid_, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    if (input_ >= 0 && input_ != master_) ::close(input_);
    if (master_ >= 0) ::close(master_);
}

void Terminal::send(std::string_view bytes) {
    const auto deadline = Clock::now() + patience();
    while (!bytes.empty() && input_ >= 0) {
        const ssize_t written = ::write(input_, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<size_t>(written));
            continue;
        }
        if (written < 0 && errno != EAGAIN && errno != EINTR) return;
        if (Clock::now() > deadline) throw std::runtime_error("the program does not read its input");
        pumpOnce(kSlice);  // a program blocked on output reads no input
    }
}

bool Terminal::waitFor(const std::function<bool()>& condition, Milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (condition()) return true;
        const auto now = Clock::now();
        if (now >= deadline) return false;
        pumpOnce(std::min(kSlice, std::chrono::duration_cast<Milliseconds>(deadline - now) + Milliseconds(1)));
    }
}

void Terminal::pumpFor(Milliseconds span) {
    const auto deadline = Clock::now() + span;
    waitFor([deadline] { return Clock::now() >= deadline; }, span + Milliseconds(100));
}

std::optional<int> Terminal::waitForExit(Milliseconds timeout) {
    if (!waitFor([this] { return ended(); }, timeout)) return std::nullopt;
    // Once no one holds the program's side, reading yields the rest, then EIO.
    waitFor([this] { return master_ < 0 || drained_; }, testtime::scaled(Milliseconds(1000)));
    return status_;
}

void Terminal::resize(int rows, int columns) {
    screen_.resize(rows, columns);
    const winsize size = sizeOf(rows, columns);
    ::ioctl(master_, TIOCSWINSZ, &size);
}

void Terminal::signal(int number) { ::kill(programPid_, number); }

void Terminal::hangUp() {
    if (input_ >= 0) ::close(input_);
    if (input_ == master_) master_ = -1;
    input_ = -1;
}

void Terminal::stopReading() {
    if (master_ < 0) return;
    // The first bytes, as a reader that takes a line and goes: too few to
    // make room in a full pipe.
    char buffer[64];
    const ssize_t count = ::read(master_, buffer, sizeof buffer);
    if (count > 0) output_.append(buffer, static_cast<size_t>(count)), screen_.feed(std::string_view(buffer, static_cast<size_t>(count)));
    ::close(master_);
    master_ = -1;
}

bool Terminal::waitForStop(Milliseconds timeout) {
    return waitFor([this] { return processState(programPid_) == 'T' || ended(); }, timeout) && !status_;
}

bool Terminal::asleep() const { return processState(programPid_) == 'S'; }

void Terminal::resume() { send("fg\r"); }

termios Terminal::modes() const {
    termios modes{};
    ::tcgetattr(master_, &modes);
    return modes;
}

void Terminal::pumpOnce(Milliseconds span) {
    pollfd readable{master_, POLLIN, 0};
    const bool reading = master_ >= 0 && !drained_;
    ::poll(reading ? &readable : nullptr, reading ? 1 : 0, static_cast<int>(span.count()));
    readOutput();
}

void Terminal::readOutput() {
    if (master_ < 0 || drained_) return;
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(master_, buffer, sizeof buffer);
        if (count > 0) {
            output_.append(buffer, static_cast<size_t>(count));
            screen_.feed(std::string_view(buffer, static_cast<size_t>(count)));
            continue;
        }
        if (count < 0 && errno == EINTR) continue;
        if (count == 0 || (count < 0 && errno == EIO)) drained_ = true;
        break;
    }
    // Answers to the program's queries go back to it, as a terminal's would.
    if (const std::string replies = screen_.takeReplies(); !replies.empty() && input_ == master_) send(replies);
}

bool Terminal::ended() {
    int status = 0;
    if (!status_ && ::waitpid(childPid_, &status, WNOHANG) == childPid_) status_ = status;
    return status_.has_value();
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string describeStatus(int waitStatus) {
    if (WIFEXITED(waitStatus)) return "exit status " + std::to_string(WEXITSTATUS(waitStatus));
    if (WIFSIGNALED(waitStatus)) return std::string("killed by ") + ::strsignal(WTERMSIG(waitStatus));
    return "wait status " + std::to_string(waitStatus);
}

std::string terminalBytes(const std::vector<int>& codes) {
    // What an xterm sends for the extended keys, by their second code.
    static const std::map<int, std::string_view> kExtended = {
        {keys::functionKey(1), "\x1bOP"},    {keys::functionKey(2), "\x1bOQ"},    {keys::functionKey(3), "\x1bOR"},
        {keys::functionKey(4), "\x1bOS"},    {keys::functionKey(5), "\x1b[15~"},  {keys::functionKey(6), "\x1b[17~"},
        {keys::functionKey(7), "\x1b[18~"},  {keys::functionKey(8), "\x1b[19~"},  {keys::functionKey(9), "\x1b[20~"},
        {keys::functionKey(10), "\x1b[21~"}, {keys::functionKey(11), "\x1b[23~"}, {keys::functionKey(12), "\x1b[24~"},
        {keys::HOME, "\x1b[H"},  {keys::UP, "\x1b[A"},    {keys::PAGE_UP, "\x1b[5~"},   {keys::LEFT, "\x1b[D"},
        {keys::RIGHT, "\x1b[C"}, {keys::END, "\x1b[F"},   {keys::DOWN, "\x1b[B"},       {keys::PAGE_DOWN, "\x1b[6~"},
        {keys::INSERT, "\x1b[2~"}, {keys::DEL, "\x1b[3~"}};
    std::string bytes;
    for (size_t i = 0; i < codes.size(); ++i) {
        if (keys::isExtendedPrefix(codes[i]) && i + 1 < codes.size() && kExtended.count(codes[i + 1]))
            bytes += kExtended.at(codes[++i]);
        else if (codes[i] == keys::BACKSPACE)
            bytes += static_cast<char>(keys::DELETE_CHARACTER);
        else
            bytes += cp850::toUtf8(std::string(1, static_cast<char>(codes[i])));
    }
    return bytes;
}
