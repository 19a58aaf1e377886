#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <memory>

#include "platform/FilePrimitives.h"

namespace file_primitives {
namespace {

constexpr DWORD WRITE_CHUNK = 1u << 20;
// As long as a name held for a signal handler can be (storage's buffer).
constexpr int MAX_NAME_FOR_SIGNALS = 1024;
// Held only for a rename or an open; a holder for as long as a lock is
// waited for is stuck.
constexpr DWORD NAME_GUARD_WAIT_MS = 3000;

// Everyone shares everything: others can open the file and wait for its lock,
// and a rewrite can rename the file while it is open.
constexpr DWORD SHARE_ALL = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Windows byte-range locks are mandatory for the bytes they cover. One byte
// far beyond any data is locked instead, so the lock only keeps other lockers
// out and never blocks a plain read, just like flock.
constexpr DWORD LOCK_OFFSET_HIGH = 0x7FFFFFFF;
constexpr DWORD LOCK_OFFSET_LOW = 0;

HANDLE asHandle(Handle file) { return reinterpret_cast<HANDLE>(file); }
Handle fromHandle(HANDLE file) { return file == INVALID_HANDLE_VALUE ? NO_FILE : reinterpret_cast<Handle>(file); }

// Opening a file by its name, and the renames of a rewrite, take turns under
// a mutex named after the file's full path: a rewrite may have to move the old
// file aside before the new one takes its name (see renameOverData), and no
// opener may find the name missing in between.
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
        const DWORD waited = ::WaitForSingleObject(mutex, NAME_GUARD_WAIT_MS);
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

OVERLAPPED lockedByte() {
    OVERLAPPED where{};
    where.Offset = LOCK_OFFSET_LOW;
    where.OffsetHigh = LOCK_OFFSET_HIGH;
    return where;
}

bool seekTo(HANDLE file, long long offset) {
    LARGE_INTEGER position{};
    position.QuadPart = offset;
    return ::SetFilePointerEx(file, position, nullptr, FILE_BEGIN) != 0;
}

// The paths a Directory keeps are UTF-8, and used as the system's wide
// names, so that a folder named beyond the ANSI code page ("C:\Users\Łukasz")
// is no obstacle.
std::wstring wideOfUtf8(std::string_view text) {
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

std::string utf8OfWide(std::wstring_view wide) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
    return text;
}

std::wstring wideOfAnsi(std::string_view text) {
    const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(length, 0)), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), length);
    return wide;
}

// The name the open file really has, in UTF-8: through a symbolic link (or
// a linked directory) that is the file it points to. The name given when
// that fails.
std::string finalPathOf(HANDLE file, const std::string& givenPath) {
    std::wstring buffer(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length = ::GetFinalPathNameByHandleW(file, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                         FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) break;
        if (length < buffer.size()) {
            buffer.resize(length);
            return utf8OfWide(buffer);
        }
        buffer.assign(length, L'\0');  // too small: length is the size needed
    }
    return utf8OfWide(wideOfAnsi(givenPath));
}

std::size_t nameStart(const std::string& path) {
    const std::size_t separator = path.find_last_of("/\\:");
    return separator == std::string::npos ? 0 : separator + 1;
}

// The attributes a user may have given the file; the new file takes them over.
// (Its access rights are those the directory passes on to new files.)
DWORD keptAttributes(DWORD original) {
    const DWORD kept = original & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                   FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    return kept != 0 ? kept : FILE_ATTRIBUTE_NORMAL;
}

std::string narrowed(const std::wstring& wide) {
    const int length = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(std::max(length, 0)), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length, nullptr, nullptr);
    return text;
}

// The name a program was given, as the system's wide characters: the word of
// the command line it was made from (alone, or after an option's '='), so
// that a character beyond the ANSI code page, which the narrow arguments
// turn into '?', is not lost; else the narrow name widened.
std::wstring wideName(const std::string& path) {
    int count = 0;
    const std::unique_ptr<LPWSTR, decltype(&::LocalFree)> words(::CommandLineToArgvW(::GetCommandLineW(), &count), ::LocalFree);
    for (int index = 1; words && index < count; ++index) {
        const std::wstring word = words.get()[index];
        const std::size_t equals = word.find(L'=');
        for (const std::wstring& candidate : {word, equals == std::wstring::npos ? std::wstring() : word.substr(equals + 1)})
            if (!candidate.empty() && narrowed(candidate) == path) return candidate;
    }
    return wideOfAnsi(path);
}

}  // namespace

InputRead readInput(const std::string& path, std::size_t most, std::string& bytes) {
    bytes.clear();
    const HANDLE file = path.empty() ? ::GetStdHandle(STD_INPUT_HANDLE)
                                     : ::CreateFileW(wideName(path).c_str(), GENERIC_READ, SHARE_ALL, nullptr,
                                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE || file == nullptr) return InputRead::Failed;
    InputRead result = InputRead::Read;
    // A file on disk says its size: one too large is not read at all.
    LARGE_INTEGER size{};
    if (::GetFileType(file) == FILE_TYPE_DISK && ::GetFileSizeEx(file, &size)) {
        if (static_cast<unsigned long long>(size.QuadPart) > most) result = InputRead::TooLarge;
        else bytes.reserve(static_cast<std::size_t>(size.QuadPart));
    }
    std::string buffer(64 * 1024, '\0');
    while (result == InputRead::Read) {
        DWORD got = 0;
        // A pipe whose writer has gone ends as a file does.
        if (!::ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr))
            result = ::GetLastError() == ERROR_BROKEN_PIPE ? InputRead::Read : InputRead::Failed;
        if (got == 0 || result != InputRead::Read) break;
        if (bytes.size() + got > most) result = InputRead::TooLarge;
        else bytes.append(buffer.data(), got);
    }
    if (!path.empty()) ::CloseHandle(file);
    return result;
}

Handle open(const std::string& path, Access access, bool& created, OpenError& error) {
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD lastError = ERROR_SUCCESS;
    {
        const NameGuard guard(path);
        file = ::CreateFileA(path.c_str(), access == Access::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                             SHARE_ALL, nullptr, access == Access::Append ? OPEN_ALWAYS : OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        lastError = ::GetLastError();
    }
    // OPEN_ALWAYS tells whether the file was there already.
    created = file != INVALID_HANDLE_VALUE && access == Access::Append && lastError != ERROR_ALREADY_EXISTS;
    if (file == INVALID_HANDLE_VALUE)
        error = lastError == ERROR_FILE_NOT_FOUND || lastError == ERROR_PATH_NOT_FOUND ? OpenError::Missing
                                                                                         : OpenError::Failed;
    return fromHandle(file);
}

bool isRegularFile(Handle file) {
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileType(asHandle(file)) == FILE_TYPE_DISK && ::GetFileInformationByHandle(asHandle(file), &info) &&
           (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

Lock tryLock(Handle file, bool alone) {
    OVERLAPPED where = lockedByte();
    const DWORD kind = (alone ? LOCKFILE_EXCLUSIVE_LOCK : 0) | LOCKFILE_FAIL_IMMEDIATELY;
    if (::LockFileEx(asHandle(file), kind, 0, 1, 0, &where)) return Lock::Taken;
    const DWORD error = ::GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING) return Lock::Busy;
    // A file system without locks still gets its data, only unguarded.
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION ? Lock::Taken : Lock::Failed;
}

void close(Handle file) {
    // Closing releases the lock too, but only "eventually"; unlocking first
    // lets a waiting process in at once.
    OVERLAPPED where = lockedByte();
    ::UnlockFileEx(asHandle(file), 0, 1, 0, &where);
    ::CloseHandle(asHandle(file));
}

bool namesFile(Handle file, const std::string& path) {
    // No access asked: only the file's identity is read.
    const HANDLE named = ::CreateFileA(path.c_str(), 0, SHARE_ALL, nullptr, OPEN_EXISTING, 0, nullptr);
    if (named == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION opened{};
    BY_HANDLE_FILE_INFORMATION current{};
    const bool read = ::GetFileInformationByHandle(asHandle(file), &opened) && ::GetFileInformationByHandle(named, &current);
    ::CloseHandle(named);
    return read && opened.dwVolumeSerialNumber == current.dwVolumeSerialNumber &&
           opened.nFileIndexHigh == current.nFileIndexHigh && opened.nFileIndexLow == current.nFileIndexLow;
}

long long readAt(Handle file, long long offset, char* buffer, std::size_t size) {
    DWORD got = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
    if (!seekTo(asHandle(file), offset) || !::ReadFile(asHandle(file), buffer, wanted, &got, nullptr)) return -1;
    return got;
}

bool size(Handle file, long long& bytes) {
    LARGE_INTEGER value{};
    if (!::GetFileSizeEx(asHandle(file), &value)) return false;
    bytes = value.QuadPart;
    return true;
}

bool appendAndSync(Handle file, std::string_view bytes, long long end) {
    DWORD written = 0;
    return bytes.size() <= MAXDWORD && seekTo(asHandle(file), end) &&
           ::WriteFile(asHandle(file), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size() && sync(file);
}

bool truncate(Handle file, long long bytes) { return seekTo(asHandle(file), bytes) && ::SetEndOfFile(asHandle(file)); }

bool writeAll(Handle file, std::string_view bytes) {
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), WRITE_CHUNK));
        if (!::WriteFile(asHandle(file), bytes.data(), chunk, &written, nullptr) || written == 0) return false;
        bytes.remove_prefix(written);
    }
    return true;
}

bool sync(Handle file) { return ::FlushFileBuffers(asHandle(file)) != 0; }

void remove(const std::string& path) { ::DeleteFileA(path.c_str()); }

// MOVEFILE_WRITE_THROUGH and FlushFileBuffers stand in for syncing a directory.
void syncNewName(const std::string&) {}

unsigned long processId() { return ::GetCurrentProcessId(); }

bool namesIgnoreCase() { return true; }

// Through a symbolic link the file it points to is replaced, not the link.
Directory::Directory(Handle dataFile, const std::string& path) : openedAs(path) {
    const std::string target = finalPathOf(asHandle(dataFile), path);
    prefix = target.substr(0, nameStart(target));
    name = target.substr(nameStart(target));
    opened = true;
}

Directory::~Directory() = default;

// Open for deleting by the interrupt handler, which the rename or a cleanup
// then finishes.
Handle Directory::create(const std::string& fileName, bool& existed) {
    const HANDLE file = ::CreateFileW(wideOfUtf8(prefix + fileName).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    existed = file == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_EXISTS;
    return fromHandle(file);
}

bool Directory::takeOver(Handle& file, const std::string& fileName, Handle dataFile) {
    BY_HANDLE_FILE_INFORMATION original{};
    const bool read = ::GetFileInformationByHandle(asHandle(dataFile), &original);
    const bool closed = ::CloseHandle(asHandle(file));
    file = NO_FILE;
    return read && closed &&
           ::SetFileAttributesW(wideOfUtf8(prefix + fileName).c_str(), keptAttributes(original.dwFileAttributes));
}

// Windows will not replace a file that is open, and the data file itself is
// held open (locked); an open file may still be renamed, though. So when the
// direct replacement is refused, the old file moves aside, the new one takes
// the name, and the old one is deleted: it disappears when its last handle
// closes. Openers wait on the name the data file was opened by, which a
// symbolic link may differ from.
bool Directory::renameOverData(const std::string& fileName, const std::string& spareName) {
    constexpr DWORD REPLACE = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    const std::wstring temporaryPath = wideOfUtf8(prefix + fileName);
    const std::wstring path = wideOfUtf8(prefix + name);
    const NameGuard guard(openedAs);
    if (::MoveFileExW(temporaryPath.c_str(), path.c_str(), REPLACE)) return true;
    const DWORD error = ::GetLastError();
    if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION) return false;
    const std::wstring asidePath = wideOfUtf8(prefix + spareName);
    if (!::MoveFileExW(path.c_str(), asidePath.c_str(), MOVEFILE_WRITE_THROUGH)) return false;
    if (!::MoveFileExW(temporaryPath.c_str(), path.c_str(), REPLACE)) {
        ::MoveFileExW(asidePath.c_str(), path.c_str(), REPLACE);
        return false;
    }
    ::DeleteFileW(asidePath.c_str());
    return true;
}

void Directory::remove(const std::string& fileName) { ::DeleteFileW(wideOfUtf8(prefix + fileName).c_str()); }

void Directory::sync() {}

void Directory::forEachName(const std::function<void(const std::string& fileName)>& visit) {
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(wideOfUtf8(prefix + ".*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) visit(utf8OfWide(found.cFileName));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// Temporary files live only while their writer holds the data file's lock,
// under which this runs: any found now was left by a writer that was killed.
void Directory::removeIfAbandoned(const std::string& fileName) { remove(fileName); }

// Names given here hold the directory's path (UTF-8): the handle is unused.
// Called on the console's own handler thread, not in a signal handler.
void removeFromSignal(Handle, const char* fileName) {
    wchar_t wide[MAX_NAME_FOR_SIGNALS];
    if (::MultiByteToWideChar(CP_UTF8, 0, fileName, -1, wide, MAX_NAME_FOR_SIGNALS) > 0) ::DeleteFileW(wide);
}

}  // namespace file_primitives
