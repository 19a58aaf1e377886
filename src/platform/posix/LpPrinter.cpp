#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>

#include "platform/Platform.h"
#include "platform/posix/ChildGroup.h"
#include "platform/posix/TerminalInput.h"
#include "platform/posix/WriteAll.h"

extern char** environ;

namespace {

constexpr int CONFIRM_MILLISECONDS = 5000;
// Without a process descriptor the exit is looked for this often.
constexpr int EXIT_CHECK_MILLISECONDS = 10;
constexpr std::size_t MAX_ERROR_BYTES = 4096;
constexpr const char* FALLBACK_SEARCH_PATH = "/usr/bin:/bin";

using Clock = std::chrono::steady_clock;

int millisecondsUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::max<long long>(0, left));
}

bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// Only absolute PATH entries count: an empty or relative one names the
// working directory, which is the data directory and may hold any "lp".
std::string findLp() {
    const char* variable = std::getenv("PATH");
    const std::string searchPath = variable != nullptr ? variable : FALLBACK_SEARCH_PATH;
    std::size_t start = 0;
    while (start <= searchPath.size()) {
        std::size_t end = searchPath.find(':', start);
        if (end == std::string::npos) end = searchPath.size();
        const std::string entry = searchPath.substr(start, end - start);
        if (!entry.empty() && entry.front() == '/' && isExecutableFile(entry + "/lp")) return entry + "/lp";
        start = end + 1;
    }
    return {};
}

// The job in memory, as a file lp reads as its standard input. Its offset,
// shared with lp, tells afterwards whether lp read all of it.
int createJobFile(std::string_view text) {
    const int fd = ::memfd_create("print-job", MFD_CLOEXEC);
    if (fd < 0) return -1;
    if (!posix::writeAll(fd, text) || ::lseek(fd, 0, SEEK_SET) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool readJobWhole(int jobFd, std::size_t size) {
    const off_t offset = ::lseek(jobFd, 0, SEEK_CUR);
    return offset >= 0 && static_cast<std::size_t>(offset) >= size;
}

int openProcessDescriptor(pid_t child) {
#ifdef SYS_pidfd_open
    return static_cast<int>(::syscall(SYS_pidfd_open, child, 0));
#else
    (void)child;
    return -1;
#endif
}

class LpRun {
public:
    ~LpRun() {
        for (int fd : {jobFd, errorFd, processFd})
            if (fd >= 0) ::close(fd);
    }

    platform::PrintResult submit(std::string_view text, std::string_view jobTitle) {
        const std::string lp = findLp();
        if (lp.empty()) return refused("lp nicht gefunden");
        jobFd = createJobFile(text);
        if (jobFd < 0) return refused("Druckauftrag nicht anlegbar");
        if (!start(lp, std::string(jobTitle))) return refused("lp nicht startbar");
        int status = 0;
        if (!awaitExit(status)) {
            stop();
            return {platform::PrintOutcome::NotConfirmed,
                    firstErrorLine("lp hat den Auftrag nicht innerhalb von 5 s bestaetigt")};
        }
        drainErrors();
        if (WIFSIGNALED(status))
            return refused(firstErrorLine("lp durch Signal " + std::to_string(WTERMSIG(status)) + " beendet"));
        if (WEXITSTATUS(status) != 0)
            return refused(firstErrorLine("lp endete mit Status " + std::to_string(WEXITSTATUS(status))));
        if (!readJobWhole(jobFd, text.size())) return refused(firstErrorLine("lp hat den Auftrag nicht ganz gelesen"));
        return {platform::PrintOutcome::Accepted, {}};
    }

private:
    static platform::PrintResult refused(std::string reason) {
        return {platform::PrintOutcome::Refused, std::move(reason)};
    }

    // lp without a shell, in a process group of its own so that stopping it
    // stops whatever it started; its output is not for the screen. The
    // options make CUPS' text filter fit the widest list (92 columns) and 60
    // lines on A4 and on Letter, within 12 mm (34 pt) margins.
    bool start(const std::string& lp, std::string title) {
        int errors[2];
        if (::pipe2(errors, O_CLOEXEC) != 0) return false;
        errorFd = errors[0];
        // Only our end may be non-blocking: lp's end blocks as any output
        // does, or lp fails on warnings larger than the pipe holds.
        if (::fcntl(errorFd, F_SETFL, ::fcntl(errorFd, F_GETFL) | O_NONBLOCK) != 0) {
            ::close(errors[1]);
            return false;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, jobFd, STDIN_FILENO);
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        // The program ignores SIGPIPE; lp must not inherit that.
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        sigset_t noneBlocked;
        sigemptyset(&noneBlocked);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setsigmask(&attributes, &noneBlocked);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETPGROUP);
        std::string words[] = {"lp", "-t", std::move(title), "-o", "cpi=13", "-o", "lpi=7", "-o", "page-left=34",
                               "-o", "page-right=34", "-o", "page-top=34", "-o", "page-bottom=34"};
        char* arguments[std::size(words) + 1] = {};
        std::transform(std::begin(words), std::end(words), arguments, [](std::string& word) { return word.data(); });
        // A signal that ends the program while lp runs ends lp first.
        childWatch.emplace();
        const int spawnError = ::posix_spawn(&child, lp.c_str(), &actions, &attributes, arguments, environ);
        childWatch->watch(spawnError == 0 ? child : 0);
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
        ::close(errors[1]);
        if (spawnError != 0) return false;
        processFd = openProcessDescriptor(child);
        return true;
    }

    // Collects lp's error output until lp ends; false at the deadline. Keys
    // typed meanwhile are taken as they come and kept for what asks next.
    bool awaitExit(int& status) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(CONFIRM_MILLISECONDS);
        for (;;) {
            if (reaped(status)) return true;
            const int left = millisecondsUntil(deadline);
            if (left == 0) return false;
            pollfd descriptors[3] = {
                {errorFd, POLLIN, 0}, {processFd, POLLIN, 0}, {terminal_input::descriptor(), POLLIN, 0}};
            const int timeout = processFd >= 0 ? left : std::min(left, EXIT_CHECK_MILLISECONDS);
            if (::poll(descriptors, 3, terminal_input::limitWait(timeout)) > 0 && descriptors[0].revents != 0)
                readErrors();
            terminal_input::takeAvailable();
        }
    }

    bool reaped(int& status) {
        pid_t result = ::waitpid(child, &status, WNOHANG);
        while (result < 0 && errno == EINTR) result = ::waitpid(child, &status, WNOHANG);
        if (result != child) return false;
        childWatch->forget();
        return true;
    }

    // Asks lp's process group to end, then ends it, and reaps lp.
    void stop() {
        child_group::end(child);
        int status = 0;
        while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
        }
        childWatch->forget();
        drainErrors();
    }

    // One read; at the end of the output the descriptor is closed.
    void readErrors() {
        char buffer[1024];
        const ssize_t count = ::read(errorFd, buffer, sizeof buffer);
        if (count > 0) {
            const std::size_t room = MAX_ERROR_BYTES - std::min(MAX_ERROR_BYTES, errorText.size());
            errorText.append(buffer, std::min(room, static_cast<std::size_t>(count)));
        } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
            ::close(errorFd);
            errorFd = -1;
        }
    }

    // What lp wrote and did not close yet (a child of lp may hold the pipe).
    void drainErrors() {
        while (errorFd >= 0) {
            const std::size_t before = errorText.size();
            readErrors();
            if (errorFd >= 0 && errorText.size() == before) return;
        }
    }

    std::string firstErrorLine(std::string fallback) const {
        std::size_t start = 0;
        while (start < errorText.size()) {
            std::size_t end = errorText.find('\n', start);
            if (end == std::string::npos) end = errorText.size();
            std::string line = errorText.substr(start, end - start);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.find_first_not_of(" \t") != std::string::npos) return line;
            start = end + 1;
        }
        return fallback;
    }

    pid_t child = -1;
    std::optional<child_group::EndWithProgram> childWatch;
    int jobFd = -1;
    int errorFd = -1;
    int processFd = -1;
    std::string errorText;
};

}  // namespace

namespace platform {

PrintResult printText(std::string_view utf8Text, std::string_view jobTitle) {
    return LpRun().submit(utf8Text, jobTitle);
}

}  // namespace platform
