#pragma once
#include <unistd.h>

#include <cerrno>
#include <string_view>

namespace posix {

// Writes every byte, going on after short writes and interruptions. On false
// errno tells why. Async-signal-safe, so the terminal can be restored from a
// signal handler with it. Inline, as the file calls (core library) and the
// terminal and printing (the program alone) are built into different targets.
inline bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            if (written == 0) errno = EIO;  // nothing taken and no reason given
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

}  // namespace posix
