#if !defined(_WIN32)
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "console/posix/WriteAll.h"
#include "storage/FileSystem.h"

namespace storage {
namespace {

constexpr int OPEN_ATTEMPTS = 100;
constexpr std::size_t READ_CHUNK = 64 * 1024;

template <typename Call>
auto retryOnInterrupt(Call call) {
    auto result = call();
    while (result < 0 && errno == EINTR) result = call();
    return result;
}

int openFlags(DataFile::Purpose purpose) {
    // O_NONBLOCK only so that a FIFO under the name cannot hang the open; it
    // is refused right after as not a regular file.
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (purpose) {
    case DataFile::Purpose::Read: return flags | O_RDONLY;
    case DataFile::Purpose::Append: return flags | O_RDWR | O_CREAT | O_APPEND;
    case DataFile::Purpose::Replace: return flags | O_RDWR | O_CREAT;
    }
    return flags | O_RDONLY;
}

bool lockFile(int fd, DataFile::Purpose purpose) {
    int kind = purpose == DataFile::Purpose::Read ? LOCK_SH : LOCK_EX;
    if (retryOnInterrupt([&] { return flock(fd, kind); }) == 0) return true;
    // A file system without locks still gets its data, only unguarded.
    return errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS;
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

std::string directoryPrefix(const std::string& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool syncDirectory(const std::string& path) {
    std::string prefix = directoryPrefix(path);
    const char* directory = prefix.empty() ? "." : prefix.c_str();
    int fd = retryOnInterrupt([&] { return open(directory, O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0) return false;
    int result = retryOnInterrupt([&] { return fsync(fd); });
    int error = errno;
    close(fd);
    // Some file systems cannot sync a directory; their renames are as safe as they get.
    return result == 0 || error == EINVAL;
}

// A new, empty file beside `path`, readable and writable only by its owner
// until it gets the permissions of the file it replaces.
int createTemporaryBeside(const std::string& path, std::string& temporaryPath) {
    static unsigned serial = 0;
    std::size_t nameStart = path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1;
    for (int attempt = 0; attempt < OPEN_ATTEMPTS; ++attempt) {
        temporaryPath = path.substr(0, nameStart) + "." + path.substr(nameStart) + "." +
                        std::to_string(getpid()) + "." + std::to_string(serial++) + ".tmp";
        int fd = retryOnInterrupt([&] {
            return open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        });
        if (fd >= 0 || errno != EEXIST) return fd;
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

}  // namespace

DataFile::DataFile(std::string filePath, Purpose purpose) : path(std::move(filePath)) {
    for (int attempt = 0; attempt < OPEN_ATTEMPTS; ++attempt) {
        int fd = retryOnInterrupt([&] { return open(path.c_str(), openFlags(purpose), 0666); });
        if (fd < 0) {
            openStatus = errno == ENOENT && purpose == Purpose::Read ? Status::Missing : Status::Failed;
            return;
        }
        if (!isRegularFile(fd) || !lockFile(fd, purpose)) {
            close(fd);
            openStatus = Status::Failed;
            return;
        }
        if (namesSameFile(fd, path)) {
            handle = fd;
            openStatus = Status::Open;
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

bool DataFile::readAll(const std::function<void(std::string_view)>& consume) {
    int fd = static_cast<int>(handle);
    if (lseek(fd, 0, SEEK_SET) < 0) return false;
    char buffer[READ_CHUNK];  // not zeroed: read() fills what is used
    for (;;) {
        ssize_t got = retryOnInterrupt([&] { return read(fd, buffer, sizeof buffer); });
        if (got < 0) return false;
        if (got == 0) return true;
        consume(std::string_view(buffer, static_cast<std::size_t>(got)));
    }
}

bool DataFile::readLastByte(int& lastByte) {
    int fd = static_cast<int>(handle);
    struct stat info {};
    if (fstat(fd, &info) != 0) return false;
    if (info.st_size == 0) {
        lastByte = -1;
        return true;
    }
    unsigned char byte = 0;
    if (retryOnInterrupt([&] { return pread(fd, &byte, 1, info.st_size - 1); }) != 1) return false;
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
        if (before.st_size == 0) syncDirectory(path);
        return true;
    }
    retryOnInterrupt([&] { return ftruncate(fd, before.st_size); });
    return false;
}

bool DataFile::replaceWith(std::string_view bytes) {
    struct stat original {};
    if (fstat(static_cast<int>(handle), &original) != 0) return false;
    // Through a symbolic link the file it points to is replaced, not the link.
    std::string target = path;
    if (char* resolved = realpath(path.c_str(), nullptr)) {
        target = resolved;
        free(resolved);
    }
    std::string temporaryPath;
    int fd = createTemporaryBeside(target, temporaryPath);
    if (fd < 0) return false;
    bool written = takeOverOwnerAndMode(fd, original) && posix::writeAll(fd, bytes) &&
                   retryOnInterrupt([&] { return fsync(fd); }) == 0;
    written = close(fd) == 0 && written;
    if (!written || rename(temporaryPath.c_str(), target.c_str()) != 0) {
        unlink(temporaryPath.c_str());
        return false;
    }
    return syncDirectory(target);
}

}  // namespace storage
#endif
