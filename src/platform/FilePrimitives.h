#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// What a system must give the data files: its own calls on files, each
// thin. What is built on them (waiting for locks, opening again a file
// replaced meanwhile, bounded reads, appends as one write, replacing through
// a temporary file and cleaning up after killed writers) is written once, in
// storage. One source file per system implements this.
namespace file_primitives {

using Handle = std::intptr_t;
constexpr Handle NO_FILE = -1;

enum class Access { Read, Append, Replace };
enum class OpenError { None, Missing, Failed };
enum class Lock { Taken, Busy, Failed };

// Opens `path` without blocking on anything but a regular file under the
// name; Append creates a missing file (`created` says it did).
Handle open(const std::string& path, Access access, bool& created, OpenError& error);
bool isRegularFile(Handle file);
// One try for the file's lock, shared when not `alone`; a file system
// without locks counts as Taken.
Lock tryLock(Handle file, bool alone);
void close(Handle file);                               // the lock given back too
bool namesFile(Handle file, const std::string& path);  // `path` names this open file now
// Up to `size` bytes at `offset`: how many were read, 0 at the end, -1 on an error.
long long readAt(Handle file, long long offset, char* buffer, std::size_t size);
bool size(Handle file, long long& bytes);
// All the bytes at the end `end`, in one write, then synced to disk.
bool appendAndSync(Handle file, std::string_view bytes, long long end);
bool truncate(Handle file, long long bytes);
bool writeAll(Handle file, std::string_view bytes);
bool sync(Handle file);
void remove(const std::string& path);
void syncNewName(const std::string& path);  // a file just created: its name to disk too
unsigned long processId();
bool namesIgnoreCase();  // whether names in a directory are the same whatever their case

// A file to import, read whole by its name (a file, a device, a pipe or a
// FIFO; standard input when `path` is empty), but never more than `most`
// bytes: TooLarge when it holds more. Waits as long as the input does.
enum class InputRead { Read, TooLarge, Failed };
InputRead readInput(const std::string& path, std::size_t most, std::string& bytes);

// The directory a data file really stands in (through symbolic links),
// where its replacement is made, renamed over it and, when left by a killed
// writer, found and removed.
class Directory {
public:
    Directory(Handle dataFile, const std::string& path);
    ~Directory();
    Directory(const Directory&) = delete;
    bool isOpen() const { return opened; }
    const std::string& dataName() const { return name; }
    // How a signal handler names a file in it (see removeFromSignal).
    Handle forSignals() const { return signalHandle; }
    std::string nameForSignals(const std::string& fileName) const { return prefix + fileName; }
    // A new file under `fileName`, readable and writable only by its owner,
    // held (locked) as long as it is open; `existed` when the name was taken.
    Handle create(const std::string& fileName, bool& existed);
    // Gives the new file the data file's owner, permissions or attributes;
    // where the system asks for it, closes it first (then `file` is NO_FILE).
    bool takeOver(Handle& file, const std::string& fileName, Handle dataFile);
    // Puts the new file under the data file's name; `spareName`, for a
    // system that must move the open data file aside first.
    bool renameOverData(const std::string& fileName, const std::string& spareName);
    void remove(const std::string& fileName);
    void sync();  // the new name to disk
    void forEachName(const std::function<void(const std::string& fileName)>& visit);
    // Removes `fileName` when no living writer holds it.
    void removeIfAbandoned(const std::string& fileName);

private:
    bool opened = false;
    Handle signalHandle = NO_FILE;
    std::string prefix;  // the directory as a path, where names are used with it; else empty
    std::string name;
    std::string openedAs;
};

// Removes the file `fileName` in `directory` (from Directory::forSignals).
// Async-signal-safe.
void removeFromSignal(Handle directory, const char* fileName);

}  // namespace file_primitives
