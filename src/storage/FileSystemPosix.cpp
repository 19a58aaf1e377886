#if !defined(_WIN32)
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "system/WriteAll.h"
#include "storage/FileSystem.h"
#include "storage/LockWait.h"
#include "system/ExitCleanup.h"

namespace storage {
namespace {

constexpr int OPEN_ATTEMPTS = 100;
constexpr std::size_t READ_CHUNK = 64 * 1024;
constexpr const char* TEMPORARY_SUFFIX = ".tmp";

template <typename Call>
auto retryOnInterrupt(Call call) {
    auto result = call();
    while (result < 0 && errno == EINTR) result = call();
    return result;
}

// The temporary file being written, for the signal handler: its name in
// the directory open as unfinishedDirectory.
char unfinishedTemporary[256];
volatile std::sig_atomic_t unfinishedDirectory = -1;
volatile std::sig_atomic_t hasUnfinishedTemporary = 0;

// Set before the file is created, so that no moment exists in which a signal
// could leave it behind unnamed.
void removeUnfinished();

bool registerUnfinished(int directory, const std::string& temporaryName) {
    if (temporaryName.size() >= sizeof unfinishedTemporary) return false;
    exit_cleanup::add(removeUnfinished);
    hasUnfinishedTemporary = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    std::memcpy(unfinishedTemporary, temporaryName.c_str(), temporaryName.size() + 1);
    unfinishedDirectory = directory;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    hasUnfinishedTemporary = 1;
    return true;
}

void forgetUnfinished() { hasUnfinishedTemporary = 0; }

int openFlags(DataFile::Purpose purpose) {
    // O_NONBLOCK only so that a FIFO under the name cannot hang the open; it
    // is refused right after as not a regular file.
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (purpose) {
    case DataFile::Purpose::Read: return flags | O_RDONLY;
    case DataFile::Purpose::Append: return flags | O_RDWR | O_CREAT | O_APPEND;
    case DataFile::Purpose::Replace: return flags | O_RDWR;
    }
    return flags | O_RDONLY;
}

LockAttempt tryLock(int fd, int kind) {
    if (retryOnInterrupt([&] { return flock(fd, kind | LOCK_NB); }) == 0) return LockAttempt::Taken;
    if (errno == EWOULDBLOCK) return LockAttempt::Busy;
    // A file system without locks still gets its data, only unguarded.
    return errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS ? LockAttempt::Taken : LockAttempt::Failed;
}

bool namesSameFile(int fd, const std::string& path) {
    struct stat opened {};
    struct stat named {};
    if (fstat(fd, &opened) != 0 || stat(path.c_str(), &named) != 0) return false;
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

bool isRegularFile(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
}

std::size_t nameStart(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? 0 : slash + 1;
}

// The directory a data file stands in, open, and its name there; through a
// symbolic link the file it points to is meant, not the link. Files are
// named relative to the open directory, so no path grows past the system's
// limit however deep the directory lies.
struct FileInDirectory {
    int directory = -1;
    std::string name;

    explicit FileInDirectory(const std::string& path) {
        std::string current = path;
        constexpr int MOST_LINKS_FOLLOWED = 40;
        for (int hop = 0; hop < MOST_LINKS_FOLLOWED; ++hop) {
            char target[4096];
            const ssize_t length = readlink(current.c_str(), target, sizeof target);
            if (length <= 0 || static_cast<std::size_t>(length) == sizeof target) break;  // not a link
            const std::string_view link(target, static_cast<std::size_t>(length));
            current = link.front() == '/' ? std::string(link) : current.substr(0, nameStart(current)) + std::string(link);
        }
        const std::string prefix = current.substr(0, nameStart(current));
        name = current.substr(nameStart(current));
        directory = retryOnInterrupt(
            [&] { return open(prefix.empty() ? "." : prefix.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    }
    ~FileInDirectory() {
        if (directory >= 0) close(directory);
    }
    FileInDirectory(const FileInDirectory&) = delete;
    FileInDirectory& operator=(const FileInDirectory&) = delete;
};

bool syncDirectory(int directory) { return retryOnInterrupt([&] { return fsync(directory); }) == 0; }

// Whether `name` is one of the temporary files made beside the data file
// `dataName`: "." dataName "." pid "." serial ".tmp".
bool isTemporaryNameOf(std::string_view name, std::string_view dataName) {
    if (!name.starts_with('.') || !name.ends_with(TEMPORARY_SUFFIX)) return false;
    name.remove_prefix(1);
    name.remove_suffix(std::strlen(TEMPORARY_SUFFIX));
    if (!name.starts_with(dataName) || name.size() <= dataName.size() || name[dataName.size()] != '.') return false;
    name.remove_prefix(dataName.size() + 1);
    int numbers = 0;
    bool inNumber = false;
    for (char byte : name) {
        if (byte >= '0' && byte <= '9') {
            numbers += inNumber ? 0 : 1;
            inNumber = true;
        } else if (byte == '.' && inNumber) {
            inNumber = false;
        } else {
            return false;
        }
    }
    return inNumber && numbers == 2;
}

// A writer holds the lock of its temporary file as long as it lives; one
// whose lock can be taken at once was left by a writer that was killed.
void removeStaleTemporaryFiles(const std::string& dataPath) {
    const FileInDirectory target(dataPath);
    if (target.directory < 0) return;
    const int listed = dup(target.directory);
    DIR* listing = listed < 0 ? nullptr : fdopendir(listed);
    if (listing == nullptr) {
        if (listed >= 0) close(listed);
        return;
    }
    while (const dirent* entry = readdir(listing)) {
        if (!isTemporaryNameOf(entry->d_name, target.name)) continue;
        int fd = retryOnInterrupt([&] {
            return openat(target.directory, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        });
        if (fd < 0) continue;
        struct stat opened {};
        struct stat named {};
        if (isRegularFile(fd) && tryLock(fd, LOCK_EX) == LockAttempt::Taken && fstat(fd, &opened) == 0 &&
            fstatat(target.directory, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            opened.st_dev == named.st_dev && opened.st_ino == named.st_ino)
            unlinkat(target.directory, entry->d_name, 0);
        close(fd);
    }
    closedir(listing);
}

// A new, empty file beside the data file, locked, readable and writable only
// by its owner until it gets the permissions of the file it replaces. Its
// name is registered for the signal handler before it exists.
int createTemporaryBeside(const FileInDirectory& target, std::string& temporaryName) {
    static unsigned serial = 0;
    for (int attempt = 0; attempt < OPEN_ATTEMPTS; ++attempt) {
        temporaryName = "." + target.name + "." + std::to_string(getpid()) + "." + std::to_string(serial++) +
                        TEMPORARY_SUFFIX;
        if (!registerUnfinished(target.directory, temporaryName)) return -1;
        int fd = retryOnInterrupt([&] {
            return openat(target.directory, temporaryName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        });
        if (fd >= 0) {
            // Nobody else can hold it yet: this only marks it as alive.
            tryLock(fd, LOCK_EX);
            return fd;
        }
        forgetUnfinished();
        if (errno != EEXIST) return -1;
    }
    return -1;
}

bool takeOverOwnerAndMode(int fd, const struct stat& original) {
    if (original.st_uid != geteuid() || original.st_gid != getegid()) {
        // Only a privileged process may give the file away; otherwise it stays ours.
        if (fchown(fd, original.st_uid, original.st_gid) != 0) {
        }
    }
    return fchmod(fd, original.st_mode & 07777) == 0;
}

// Safe in a signal handler: a program ended by a signal leaves no copy of
// the data behind.
void removeUnfinished() {
    if (hasUnfinishedTemporary) unlinkat(unfinishedDirectory, unfinishedTemporary, 0);
}

}  // namespace

DataFile::DataFile(std::string filePath, Purpose purpose) : path(std::move(filePath)) {
    const int lockKind = purpose == Purpose::Read ? LOCK_SH : LOCK_EX;
    for (int attempt = 0; attempt < OPEN_ATTEMPTS; ++attempt) {
        // An append that makes the file knows it did, to take it back when
        // nothing could be written into it.
        int fd = -1;
        createdFile = false;
        if (purpose == Purpose::Append) {
            fd = retryOnInterrupt([&] { return open(path.c_str(), openFlags(purpose) | O_EXCL, 0666); });
            createdFile = fd >= 0;
        }
        if (fd < 0) fd = retryOnInterrupt([&] { return open(path.c_str(), openFlags(purpose), 0666); });
        if (fd < 0) {
            openStatus = errno == ENOENT && purpose != Purpose::Append ? Status::Missing : Status::Failed;
            return;
        }
        const LockAttempt locked = isRegularFile(fd) ? waitForLock([&] { return tryLock(fd, lockKind); })
                                                     : LockAttempt::Failed;
        if (locked != LockAttempt::Taken) {
            close(fd);
            openStatus = locked == LockAttempt::Busy ? Status::Locked : Status::Failed;
            return;
        }
        if (namesSameFile(fd, path)) {
            handle = fd;
            openStatus = Status::Open;
            if (purpose != Purpose::Read) removeStaleTemporaryFiles(path);
            return;
        }
        // Replaced (renamed over) while we waited for the lock: the old file
        // no longer bears the name, so open the new one.
        close(fd);
    }
    openStatus = Status::Failed;
}

DataFile::~DataFile() {
    if (handle >= 0) close(static_cast<int>(handle));
}

bool DataFile::read(const std::function<bool(std::string_view)>& consume) {
    int fd = static_cast<int>(handle);
    char buffer[READ_CHUNK];  // not zeroed: read() fills what is used
    for (off_t offset = 0;;) {
        ssize_t got = retryOnInterrupt([&] { return pread(fd, buffer, sizeof buffer, offset); });
        if (got < 0) return false;
        if (got == 0) return true;
        offset += got;
        if (!consume(std::string_view(buffer, static_cast<std::size_t>(got)))) return true;
    }
}

bool DataFile::readAll(const std::function<void(std::string_view)>& consume) {
    return read([&](std::string_view chunk) {
        consume(chunk);
        return true;
    });
}

bool DataFile::size(long long& bytes) {
    struct stat info {};
    if (fstat(static_cast<int>(handle), &info) != 0) return false;
    bytes = info.st_size;
    return true;
}

bool DataFile::readLastByte(int& lastByte) {
    int fd = static_cast<int>(handle);
    long long bytes = 0;
    if (!size(bytes)) return false;
    if (bytes == 0) {
        lastByte = -1;
        return true;
    }
    unsigned char byte = 0;
    if (retryOnInterrupt([&] { return pread(fd, &byte, 1, bytes - 1); }) != 1) return false;
    lastByte = byte;
    return true;
}

bool DataFile::appendWhole(std::string_view bytes) {
    int fd = static_cast<int>(handle);
    struct stat before {};
    if (fstat(fd, &before) != 0) return false;
    ssize_t written = retryOnInterrupt([&] { return write(fd, bytes.data(), bytes.size()); });
    if (written == static_cast<ssize_t>(bytes.size()) && retryOnInterrupt([&] { return fsync(fd); }) == 0) {
        // A file just created needs its directory entry on disk as well.
        if (before.st_size == 0) {
            const FileInDirectory file(path);
            if (file.directory >= 0) syncDirectory(file.directory);
        }
        return true;
    }
    retryOnInterrupt([&] { return ftruncate(fd, before.st_size); });
    removeIfCreatedEmpty();
    return false;
}

void DataFile::removeIfCreatedEmpty() {
    // Only while it is still empty and still under the name (the lock keeps others out).
    struct stat now {};
    const int fd = static_cast<int>(handle);
    if (createdFile && fstat(fd, &now) == 0 && now.st_size == 0 && namesSameFile(fd, path)) unlink(path.c_str());
}

bool DataFile::replaceWith(const std::function<bool(const Writer& write)>& produce) {
    struct stat original {};
    if (fstat(static_cast<int>(handle), &original) != 0) return false;
    const FileInDirectory target(path);
    if (target.directory < 0) return false;
    std::string temporaryName;
    int fd = createTemporaryBeside(target, temporaryName);
    if (fd < 0) return false;
    bool written = takeOverOwnerAndMode(fd, original) &&
                   produce([fd](std::string_view bytes) { return posix::writeAll(fd, bytes); }) &&
                   retryOnInterrupt([&] { return fsync(fd); }) == 0;
    if (!written ||
        renameat(target.directory, temporaryName.c_str(), target.directory, target.name.c_str()) != 0) {
        unlinkat(target.directory, temporaryName.c_str(), 0);
        forgetUnfinished();
        close(fd);
        return false;
    }
    forgetUnfinished();
    close(fd);
    // The change is made: a directory that cannot be synced only leaves the
    // rename to the system's own time, and reporting a failure now would
    // invite doing the change twice.
    syncDirectory(target.directory);
    return true;
}

bool DataFile::replaceWith(std::string_view bytes) {
    return replaceWith([bytes](const Writer& write) { return write(bytes); });
}

}  // namespace storage
#endif
