#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <iterator>

#include "console/Cp850.h"
#include "console/Platform.h"

extern char** environ;

namespace {

bool writeAllTo(int descriptor, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

std::string readAllFrom(int descriptor) {
    std::string text;
    char buffer[1024];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count > 0) {
            text.append(buffer, static_cast<size_t>(count));
        } else if (count < 0 && errno == EINTR) {
            continue;
        } else {
            return text;
        }
    }
}

}  // namespace

namespace platform {

// The print job goes to CUPS through lp, started without a shell; the file's
// code page 850 text is sent as UTF-8, and lp's own output never reaches the screen.
bool printFile(const std::string& fileName, std::string& failureReason) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file) {
        failureReason = "file cannot be read";
        return false;
    }
    const std::string content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};

    int input[2];
    int errors[2];
    if (::pipe2(input, O_CLOEXEC) != 0) return false;
    if (::pipe2(errors, O_CLOEXEC) != 0) {
        ::close(input[0]);
        ::close(input[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);
    std::string title = fileName;
    char* const arguments[] = {const_cast<char*>("lp"), const_cast<char*>("-t"), title.data(), nullptr};
    pid_t child = 0;
    const int spawnError = ::posix_spawnp(&child, "lp", &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input[0]);
    ::close(errors[1]);
    if (spawnError != 0) {
        ::close(input[1]);
        ::close(errors[0]);
        failureReason = "lp cannot be started";
        return false;
    }
    const bool sent = writeAllTo(input[1], cp850::toUtf8(content));
    ::close(input[1]);
    failureReason = readAllFrom(errors[0]);
    ::close(errors[0]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return sent && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace platform
