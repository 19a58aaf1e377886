#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "storage/FileSystem.h"
#include "storage/LockWait.h"
#include "system/ExitCleanup.h"

namespace storage {
namespace {

constexpr int OPEN_ATTEMPTS = 100;
constexpr DWORD READ_CHUNK = 64 * 1024;
constexpr DWORD WRITE_CHUNK = 1u << 20;

// Everyone shares everything: others can open the file and wait for its lock,
// and a rewrite can rename the file while it is open.
constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Windows byte-range locks are mandatory for the bytes they cover. One byte
// far beyond any data is locked instead, so the lock only keeps other lockers
// out and never blocks a plain read, just like flock.
constexpr DWORD LOCK_OFFSET_HIGH = 0x7FFFFFFF;
constexpr DWORD LOCK_OFFSET_LOW = 0;

// Opening a file by its name, and the renames of a rewrite, take turns under
// a mutex named after the file's full path: a rewrite may have to move the old
// file aside before the new one takes its name (see moveOver), and no opener
// may find the name missing in between.
class NameGuard {
public:
    explicit NameGuard(const std::string& path) {
        std::string fullPath(MAX_PATH, '\0');
        DWORD length = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(fullPath.size()), fullPath.data(), nullptr);
        fullPath.resize(length > 0 && length < fullPath.size() ? length : 0);
        if (fullPath.empty()) fullPath = path;
        // File names compare without case; a hash keeps backslashes out of the mutex name.
        std::uint64_t hash = 14695981039346656037ULL;
        for (unsigned char byte : fullPath) {
            hash ^= static_cast<unsigned char>(byte >= 'a' && byte <= 'z' ? byte - 'a' + 'A' : byte);
            hash *= 1099511628211ULL;
        }
        const std::string name = "Local\\DvdVerwaltung.DataFile." + std::to_string(hash);
        mutex = ::CreateMutexA(nullptr, FALSE, name.c_str());
        if (mutex == nullptr) return;  // unguarded, as without file locks
        // Held only for a rename or an open; a holder that long is stuck.
        const DWORD waited = ::WaitForSingleObject(mutex, static_cast<DWORD>(LOCK_WAIT_LIMIT.count()));
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
            ::CloseHandle(mutex);
            mutex = nullptr;
        }
    }
    ~NameGuard() {
        if (mutex == nullptr) return;
        ::ReleaseMutex(mutex);
        ::CloseHandle(mutex);
    }
    NameGuard(const NameGuard&) = delete;
    NameGuard& operator=(const NameGuard&) = delete;

private:
    HANDLE mutex = nullptr;
};

HANDLE asHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// The name of the temporary file being written, for the interrupt handler.
char unfinishedTemporary[MAX_PATH * 4];
std::atomic<bool> hasUnfinishedTemporary{false};

void removeUnfinished();

bool registerUnfinished(const std::string& temporaryPath) {
    if (temporaryPath.size() >= sizeof unfinishedTemporary) return false;
    exit_cleanup::add(removeUnfinished);
    hasUnfinishedTemporary = false;
    std::memcpy(unfinishedTemporary, temporaryPath.c_str(), temporaryPath.size() + 1);
    hasUnfinishedTemporary = true;
    return true;
}

void forgetUnfinished() { hasUnfinishedTemporary = false; }

HANDLE openFile(const std::string& path, DataFile::Purpose purpose) {
    const bool reading = purpose == DataFile::Purpose::Read;
    return ::CreateFileA(path.c_str(), reading ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE, SHARE_ALL, nullptr,
                         purpose == DataFile::Purpose::Append ? OPEN_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}

bool isRegularFile(HANDLE file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileType(file) == FILE_TYPE_DISK && ::GetFileInformationByHandle(file, &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

LockAttempt tryLock(HANDLE file, DataFile::Purpose purpose) {
    OVERLAPPED where{};
    where.Offset = LOCK_OFFSET_LOW;
    where.OffsetHigh = LOCK_OFFSET_HIGH;
    const DWORD kind = (purpose == DataFile::Purpose::Read ? 0 : LOCKFILE_EXCLUSIVE_LOCK) | LOCKFILE_FAIL_IMMEDIATELY;
    if (::LockFileEx(file, kind, 0, 1, 0, &where)) return LockAttempt::Taken;
    const DWORD error = ::GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return LockAttempt::Busy;
    // A file system without locks still gets its data, only unguarded.
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ? LockAttempt::Taken : LockAttempt::Failed;
}

void unlockFile(HANDLE file) {
    OVERLAPPED where{};
    where.Offset = LOCK_OFFSET_LOW;
    where.OffsetHigh = LOCK_OFFSET_HIGH;
    ::UnlockFileEx(file, 0, 1, 0, &where);
}

bool namesSameFile(HANDLE file, const std::string& path) {
    // No access asked: only the file's identity is read.
    const HANDLE named = ::CreateFileA(path.c_str(), 0, SHARE_ALL, nullptr, OPEN_EXISTING, 0, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION opened{};
    BY_HANDLE_FILE_INFORMATION current{};
    const bool read = ::GetFileInformationByHandle(file, &opened) && ::GetFileInformationByHandle(named, &current);
    ::CloseHandle(named);
    return read && opened.dwVolumeSerialNumber == current.dwVolumeSerialNumber &&
           opened.nFileIndexHigh == current.nFileIndexHigh && opened.nFileIndexLow == current.nFileIndexLow;
}

bool seekTo(HANDLE file, long long offset) {
    LARGE_INTEGER position{};
    position.QuadPart = offset;
    return ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != 0;
}

bool fileSize(HANDLE file, long long& size) {
    LARGE_INTEGER value{};
    if (!::GetFileSizeEx(file, &value)) return false;
    size = value.QuadPart;
    return true;
}

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), WRITE_CHUNK));
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

// The name the open file really has: through a symbolic link (or a linked
// directory) that is the file it points to. The name given when that fails.
std::string finalPathOf(HANDLE file, const std::string& givenPath) {
    std::string buffer(MAX_PATH, '\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = ::GetFinalPathNameByHandleA(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) break;
        if (length < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(length, '\0');  // too small: length is the size needed
    }
    return givenPath;
}

std::size_t nameStart(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\:");
    return separator == std::string::npos ? 0 : separator + 1;
}

// A name beside `path` that nothing bears yet, for a file of the given kind.
std::string nameBeside(const std::string& path, const char* kind) {
    static unsigned serial = 0;
    const std::size_t start = nameStart(path);
    return path.substr(0, start) + "." + path.substr(start) + "." + std::to_string(::GetCurrentProcessId()) + "." +
           std::to_string(serial++) + "." + kind;
}

// Registered for the interrupt handler before it exists; open for deleting
// by that handler, which the rename or a cleanup then finishes.
HANDLE createTemporaryBeside(const std::string& path, std::string& temporaryPath) {
    for (int attempt = 0; attempt < OPEN_ATTEMPTS; ++attempt) {
        temporaryPath = nameBeside(path, "tmp");
        if (!registerUnfinished(temporaryPath)) return INVALID_HANDLE_VALUE;
        const HANDLE file = ::CreateFileA(temporaryPath.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                          CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) return file;
        const DWORD error = ::GetLastError();
        forgetUnfinished();
        if (error != ERROR_FILE_EXISTS) return INVALID_HANDLE_VALUE;
    }
    return INVALID_HANDLE_VALUE;
}

// Whether `name` is one of the temporary files made beside the data file
// `dataName`: "." dataName "." process "." serial ".tmp".
bool isTemporaryNameOf(std::string_view name, std::string_view dataName) {
    constexpr std::string_view suffix = ".tmp";
    if (!name.starts_with('.') || !name.ends_with(suffix)) return false;
    name.remove_prefix(1);
    name.remove_suffix(suffix.size());
    if (name.size() <= dataName.size() || name[dataName.size()] != '.' ||
        ::CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, name.data(), static_cast<int>(dataName.size()),
                         dataName.data(), static_cast<int>(dataName.size())) != CSTR_EQUAL)
        return false;
    name.remove_prefix(dataName.size() + 1);
    const std::size_t dot = name.find('.');
    auto isNumber = [](std::string_view text) {
        return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    };
    return dot != std::string_view::npos && isNumber(name.substr(0, dot)) && isNumber(name.substr(dot + 1));
}

// Temporary files live only while their writer holds the data file's lock,
// under which this runs: any found now was left by a writer that was killed.
void removeStaleTemporaryFiles(const std::string& target) {
    const std::size_t start = nameStart(target);
    const std::string directory = target.substr(0, start);
    const std::string dataName = target.substr(start);
    WIN32_FIND_DATAA found{};
    const HANDLE search = ::FindFirstFileA((directory + ".*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && isTemporaryNameOf(found.cFileName, dataName))
            ::DeleteFileA((directory + found.cFileName).c_str());
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}

// The attributes a user may have given the file; the new file takes them over.
// (Its access rights are those the directory passes on to new files.)
DWORD keptAttributes(DWORD original) {
    const DWORD kept = original & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                   FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

// Puts the new file under the name. Windows will not replace a file that is
// open, and the DataFile itself holds it open (locked); an open file may still
// be renamed, though. So when the direct replacement is refused, the old file
// moves aside, the new one takes the name, and the old one is deleted: it
// disappears when its last handle closes. Openers wait on the name the
// DataFile was opened by (`openedAs`), which a symbolic link may differ from.
bool moveOver(const std::string& temporaryPath, const std::string& path, const std::string& openedAs) {
    constexpr DWORD REPLACE = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    const NameGuard guard(openedAs);
    if (::MoveFileExA(temporaryPath.c_str(), path.c_str(), REPLACE)) return true;
    const DWORD error = ::GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return false;
    const std::string asidePath = nameBeside(path, "old");
    if (!::MoveFileExA(path.c_str(), asidePath.c_str(), MOVEFILE_WRITE_THROUGH)) return false;
    if (!::MoveFileExA(temporaryPath.c_str(), path.c_str(), REPLACE)) {
        ::MoveFileExA(asidePath.c_str(), path.c_str(), REPLACE);
        return false;
    }
    ::DeleteFileA(asidePath.c_str());
    return true;
}

// Safe in a signal handler: a program ended by a signal leaves no copy of
// the data behind.
void removeUnfinished() {
    if (hasUnfinishedTemporary) ::DeleteFileA(unfinishedTemporary);
}

}  // namespace

DataFile::DataFile(std::string filePath, Purpose purpose) : path(std::move(filePath)) {
    for (int attempt = 0; attempt < OPEN_ATTEMPTS; ++attempt) {
        HANDLE file = INVALID_HANDLE_VALUE;
        DWORD error = ERROR_SUCCESS;
        {
            const NameGuard guard(path);
            file = openFile(path, purpose);
            error = ::GetLastError();
        }
        if (file == INVALID_HANDLE_VALUE) {
            const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
            openStatus = missing && purpose != Purpose::Append ? Status::Missing : Status::Failed;
            return;
        }
        const LockAttempt locked =
            isRegularFile(file) ? waitForLock([&] { return tryLock(file, purpose); }) : LockAttempt::Failed;
        if (locked != LockAttempt::Taken) {
            ::CloseHandle(file);
            openStatus = locked == LockAttempt::Busy ? Status::Locked : Status::Failed;
            return;
        }
        if (namesSameFile(file, path)) {
            // OPEN_ALWAYS tells whether the file was there already.
            createdFile = purpose == Purpose::Append && error != ERROR_ALREADY_EXISTS;
            handle = reinterpret_cast<std::intptr_t>(file);
            openStatus = Status::Open;
            if (purpose != Purpose::Read) removeStaleTemporaryFiles(finalPathOf(file, path));
            return;
        }
        // Replaced while we waited for the lock: the file under the name now
        // is another one, so open that.
        unlockFile(file);
        ::CloseHandle(file);
    }
    openStatus = Status::Failed;
}

DataFile::~DataFile() {
    if (openStatus != Status::Open) return;
    // Closing releases the lock too, but only "eventually"; unlocking first
    // lets a waiting process in at once.
    unlockFile(asHandle(handle));
    ::CloseHandle(asHandle(handle));
}

bool DataFile::read(const std::function<bool(std::string_view)>& consume) {
    const HANDLE file = asHandle(handle);
    if (!seekTo(file, 0)) return false;
    std::string buffer(READ_CHUNK, '\0');
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file, buffer.data(), READ_CHUNK, &got, nullptr)) return false;
        if (got == 0) return true;
        if (!consume(std::string_view(buffer.data(), got))) return true;
    }
}

bool DataFile::readAll(const std::function<void(std::string_view)>& consume) {
    return read([&](std::string_view chunk) {
        consume(chunk);
        return true;
    });
}

bool DataFile::size(long long& bytes) { return fileSize(asHandle(handle), bytes); }

bool DataFile::readLastByte(int& lastByte) {
    const HANDLE file = asHandle(handle);
    long long size = 0;
    if (!fileSize(file, size)) return false;
    if (size == 0) {
        lastByte = -1;
        return true;
    }
    unsigned char byte = 0;
    DWORD got = 0;
    if (!seekTo(file, size - 1) || !::ReadFile(file, &byte, 1, &got, nullptr) || got != 1) return false;
    lastByte = byte;
    return true;
}

bool DataFile::appendWhole(std::string_view bytes) {
    const HANDLE file = asHandle(handle);
    long long before = 0;
    if (!fileSize(file, before)) return false;
    // Appending holds the lock alone, so the end found here stays the end.
    DWORD written = 0;
    if (bytes.size() <= MAXDWORD && seekTo(file, before) &&
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size() && ::FlushFileBuffers(file))
        return true;
    if (seekTo(file, before)) ::SetEndOfFile(file);
    removeIfCreatedEmpty();
    return false;
}

void DataFile::removeIfCreatedEmpty() {
    // Only while it is still empty and still under the name (the lock keeps others out).
    const HANDLE file = asHandle(handle);
    long long now = -1;
    if (createdFile && fileSize(file, now) && now == 0 && namesSameFile(file, path)) ::DeleteFileA(path.c_str());
}

bool DataFile::replaceWith(const std::function<bool(const Writer& write)>& produce) {
    BY_HANDLE_FILE_INFORMATION original{};
    if (!::GetFileInformationByHandle(asHandle(handle), &original)) return false;
    // Through a symbolic link the file it points to is replaced, not the link.
    const std::string target = finalPathOf(asHandle(handle), path);
    std::string temporaryPath;
    const HANDLE temporary = createTemporaryBeside(target, temporaryPath);
    if (temporary == INVALID_HANDLE_VALUE) return false;
    bool written = produce([temporary](std::string_view bytes) { return writeAll(temporary, bytes); }) &&
                   ::FlushFileBuffers(temporary);
    written = ::CloseHandle(temporary) && written;
    written = written && ::SetFileAttributesA(temporaryPath.c_str(), keptAttributes(original.dwFileAttributes));
    // MOVEFILE_WRITE_THROUGH returns only when the new name is on disk, which
    // stands in for syncing the directory.
    if (!written || !moveOver(temporaryPath, target, path)) {
        ::DeleteFileA(temporaryPath.c_str());
        forgetUnfinished();
        return false;
    }
    forgetUnfinished();
    return true;
}

bool DataFile::replaceWith(std::string_view bytes) {
    return replaceWith([bytes](const Writer& write) { return write(bytes); });
}

}  // namespace storage
#endif
