#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/Platform.h"

namespace platform {

namespace {

bool isClosed(int descriptor) { return ::fcntl(descriptor, F_GETFD) == -1 && errno == EBADF; }

}  // namespace

bool standardStreamsOpen() {
    static const char* const NAMES[] = {"Standardeingabe", "Standardausgabe", "Standardfehlerausgabe"};
    bool allOpen = true;
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (!isClosed(descriptor)) continue;
        allOpen = false;
        if (isClosed(STDERR_FILENO)) continue;  // nowhere to say it
        const std::string message = std::string("dvdverwaltung: ") + NAMES[descriptor] + " ist geschlossen.\n";
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message.data(), message.size());
    }
    return allOpen;
}

bool errorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace platform
