#include "platform/FilePrimitives.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/WriteAll.h"

namespace file_primitives {
namespace {

template <typename Call>
auto retryOnInterrupt(Call call) {
    auto result = call();
    while (result < 0 && errno == EINTR) result = call();
    return result;
}

int fd(Handle file) { return static_cast<int>(file); }

int openFlags(Access access) {
    // O_NONBLOCK only so that a FIFO under the name cannot hang the open; it
    // is refused right after as not a regular file.
    constexpr int flags = O_CLOEXEC | O_NONBLOCK;
    switch (access) {
    case Access::Read: return flags | O_RDONLY;
    case Access::Append: return flags | O_RDWR | O_CREAT | O_APPEND;
    case Access::Replace: return flags | O_RDWR;
    }
    return flags | O_RDONLY;
}

bool sameIdentity(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

std::size_t nameStart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// Through symbolic links, the path of the file they point to.
std::string followLinks(std::string current) {
    constexpr int MOST_LINKS_FOLLOWED = 40;
    for (int hop = 0; hop < MOST_LINKS_FOLLOWED; ++hop) {
        char target[4096];
        const ssize_t length = readlink(current.c_str(), target, sizeof target);
        if (length <= 0 || static_cast<std::size_t>(length) == sizeof target) break;  // not a link
        const std::string_view link(target, static_cast<std::size_t>(length));
        current = link.front() == '/' ? std::string(link) : current.substr(0, nameStart(current)) + std::string(link);
    }
    return current;
}

}  // namespace

Handle open(const std::string& path, Access access, bool& created, OpenError& error) {
    // An append that makes the file knows it did, to take it back when
    // nothing could be written into it.
    int file = -1;
    created = false;
    if (access == Access::Append) {
        file = retryOnInterrupt([&] { return ::open(path.c_str(), openFlags(access) | O_EXCL, 0666); });
        created = file >= 0;
    }
    if (file < 0) file = retryOnInterrupt([&] { return ::open(path.c_str(), openFlags(access), 0666); });
    if (file < 0) error = errno == ENOENT ? OpenError::Missing : OpenError::Failed;
    return file < 0 ? NO_FILE : file;
}

bool isRegularFile(Handle file) {
    struct stat info {};
    return fstat(fd(file), &info) == 0 && S_ISREG(info.st_mode);
}

Lock tryLock(Handle file, bool alone) {
    if (retryOnInterrupt([&] { return flock(fd(file), (alone ? LOCK_EX : LOCK_SH) | LOCK_NB); }) == 0) return Lock::Taken;
    if (errno == EWOULDBLOCK) return Lock::Busy;
    // A file system without locks still gets its data, only unguarded.
    return errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS ? Lock::Taken : Lock::Failed;
}

void close(Handle file) { ::close(fd(file)); }

bool namesFile(Handle file, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    return fstat(fd(file), &opened) == 0 && stat(path.c_str(), &named) == 0 && sameIdentity(opened, named);
}

long long readAt(Handle file, long long offset, char* buffer, std::size_t size) {
    return retryOnInterrupt([&] { return pread(fd(file), buffer, size, offset); });
}

bool size(Handle file, long long& bytes) {
    struct stat info {};
    if (fstat(fd(file), &info) != 0) return false;
    bytes = info.st_size;
    return true;
}

bool appendAndSync(Handle file, std::string_view bytes, long long) {
    // O_APPEND puts it at the end.
    const ssize_t written = retryOnInterrupt([&] { return write(fd(file), bytes.data(), bytes.size()); });
    return written == static_cast<ssize_t>(bytes.size()) && sync(file);
}

bool truncate(Handle file, long long bytes) { return retryOnInterrupt([&] { return ftruncate(fd(file), bytes); }) == 0; }

bool writeAll(Handle file, std::string_view bytes) { return posix::writeAll(fd(file), bytes); }

bool sync(Handle file) { return retryOnInterrupt([&] { return fsync(fd(file)); }) == 0; }

void remove(const std::string& path) { unlink(path.c_str()); }

void syncNewName(const std::string& path) {
    // A file just created needs its directory entry on disk as well.
    Directory directory(NO_FILE, path);
    directory.sync();
}

unsigned long processId() { return static_cast<unsigned long>(getpid()); }

bool namesIgnoreCase() { return false; }

InputRead readInput(const std::string& path, std::size_t most, std::string& bytes) {
    bytes.clear();
    const int file =
        path.empty() ? STDIN_FILENO : retryOnInterrupt([&] { return ::open(path.c_str(), O_RDONLY | O_CLOEXEC); });
    if (file < 0) return InputRead::Failed;
    InputRead result = InputRead::Read;
    // A regular file says its size: one too large is not read at all.
    struct stat info {};
    if (fstat(file, &info) == 0 && S_ISREG(info.st_mode)) {
        if (static_cast<unsigned long long>(info.st_size) > most) result = InputRead::TooLarge;
        else bytes.reserve(static_cast<std::size_t>(info.st_size));
    }
    char buffer[64 * 1024];
    while (result == InputRead::Read) {
        const ssize_t got = retryOnInterrupt([&] { return ::read(file, buffer, sizeof buffer); });
        if (got == 0) break;
        if (got < 0) result = InputRead::Failed;
        else if (bytes.size() + static_cast<std::size_t>(got) > most) result = InputRead::TooLarge;
        else bytes.append(buffer, static_cast<std::size_t>(got));
    }
    if (file != STDIN_FILENO) ::close(file);
    return result;
}

// Files are named relative to the open directory, so no path grows past the
// system's limit however deep the directory lies.
Directory::Directory(Handle, const std::string& path) {
    const std::string current = followLinks(path);
    const std::string directory = current.substr(0, nameStart(current));
    name = current.substr(nameStart(current));
    signalHandle = retryOnInterrupt(
        [&] { return ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    opened = signalHandle >= 0;
    if (!opened) signalHandle = NO_FILE;
}

Directory::~Directory() {
    if (opened) ::close(fd(signalHandle));
}

Handle Directory::create(const std::string& fileName, bool& existed) {
    const int file = retryOnInterrupt(
        [&] { return openat(fd(signalHandle), fileName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600); });
    existed = file < 0 && errno == EEXIST;
    if (file < 0) return NO_FILE;
    // Nobody else can hold it yet: this only marks it as alive.
    tryLock(file, true);
    return file;
}

bool Directory::takeOver(Handle& file, const std::string&, Handle dataFile) {
    struct stat original {};
    if (fstat(fd(dataFile), &original) != 0) return false;
    if (original.st_uid != geteuid() || original.st_gid != getegid()) {
        // Only a privileged process may give the file away; otherwise it stays ours.
        if (fchown(fd(file), original.st_uid, original.st_gid) != 0) {
        }
    }
    return fchmod(fd(file), original.st_mode & 07777) == 0 && file_primitives::sync(file);
}

bool Directory::renameOverData(const std::string& fileName, const std::string&) {
    return renameat(fd(signalHandle), fileName.c_str(), fd(signalHandle), name.c_str()) == 0;
}

void Directory::remove(const std::string& fileName) { unlinkat(fd(signalHandle), fileName.c_str(), 0); }

void Directory::sync() {
    if (opened) retryOnInterrupt([&] { return fsync(fd(signalHandle)); });
}

void Directory::forEachName(const std::function<void(const std::string& fileName)>& visit) {
    const int listed = dup(fd(signalHandle));
    DIR* listing = listed < 0 ? nullptr : fdopendir(listed);
    if (listing == nullptr) {
        if (listed >= 0) ::close(listed);
        return;
    }
    while (const dirent* entry = readdir(listing)) visit(entry->d_name);
    closedir(listing);
}

// A writer holds the lock of its temporary file as long as it lives; one
// whose lock can be taken at once was left by a writer that was killed.
void Directory::removeIfAbandoned(const std::string& fileName) {
    const int file = retryOnInterrupt(
        [&] { return openat(fd(signalHandle), fileName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC); });
    if (file < 0) return;
    struct stat opened {};
    struct stat named {};
    if (isRegularFile(file) && tryLock(file, true) == Lock::Taken && fstat(file, &opened) == 0 &&
        fstatat(fd(signalHandle), fileName.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && sameIdentity(opened, named))
        unlinkat(fd(signalHandle), fileName.c_str(), 0);
    ::close(file);
}

void removeFromSignal(Handle directory, const char* fileName) { unlinkat(fd(directory), fileName, 0); }

}  // namespace file_primitives
