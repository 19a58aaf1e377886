#include "FirstScreen.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <stdexcept>

#include "BenchSupport.h"

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;
// Output that still arrives this long after the screen was complete belongs to it.
constexpr auto kSettle = std::chrono::milliseconds(100);

void writeAll(int descriptor, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(descriptor, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return;
        done += static_cast<size_t>(written);
    }
}

// Reads what is there; false once the other side is closed.
bool readInto(int master, VtermScreen& screen, size_t& bytes) {
    char buffer[65536];
    for (;;) {
        const ssize_t count = ::read(master, buffer, sizeof buffer);
        if (count > 0) {
            bytes += static_cast<size_t>(count);
            screen.feed(std::string_view(buffer, static_cast<size_t>(count)));
            continue;
        }
        if (count < 0 && (errno == EINTR)) continue;
        if (count < 0 && errno == EAGAIN) break;
        return false;
    }
    // Queries (cursor position, device attributes) are answered as a terminal would.
    const std::string replies = screen.takeReplies();
    if (!replies.empty()) writeAll(master, replies);
    return true;
}

}  // namespace

FirstScreen timeFirstScreen(const std::vector<std::string>& commandLine, const std::string& workingDirectory,
                            const std::function<bool(VtermScreen&)>& complete, std::chrono::milliseconds patience) {
    VtermScreen screen(kRows, kColumns);
    std::vector<char*> arguments;
    for (const std::string& argument : commandLine) arguments.push_back(const_cast<char*>(argument.c_str()));
    arguments.push_back(nullptr);
    winsize size{};
    size.ws_row = kRows;
    size.ws_col = kColumns;
    int master = -1;

    const auto start = Clock::now();
    const pid_t pid = ::forkpty(&master, nullptr, nullptr, &size);
    if (pid < 0) throw std::runtime_error("forkpty failed");
    if (pid == 0) {
        if (::chdir(workingDirectory.c_str()) != 0) ::_exit(126);
        ::setenv("TERM", "xterm-256color", 1);
        ::execv(arguments[0], arguments.data());
        ::_exit(127);
    }
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);

    FirstScreen result;
    auto deadline = start + patience;
    bool open = true;
    while (open && Clock::now() < deadline) {
        pollfd readable{master, POLLIN, 0};
        ::poll(&readable, 1, 10);
        open = readInto(master, screen, result.bytes);
        if (!result.complete && complete(screen)) {
            result.complete = true;
            result.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
            deadline = Clock::now() + kSettle;
        }
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    ::close(master);
    return result;
}

}  // namespace bench
