#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <string>

#include "platform/FilePrimitives.h"
#include "storage/DataFile.h"
#include "storage/LockWait.h"
#include "system/ExitCleanup.h"

namespace storage {
namespace {

namespace files = file_primitives;

constexpr int OPEN_ATTEMPTS = 100;
constexpr std::size_t READ_CHUNK = 64 * 1024;
constexpr std::string_view TEMPORARY_KIND = "tmp";

// The temporary file being written, for a signal handler: its name in the
// directory `unfinishedDirectory` stands for.
char unfinishedName[1024];
volatile std::sig_atomic_t hasUnfinished = 0;
volatile files::Handle unfinishedDirectory = files::NO_FILE;

void removeUnfinished() {
    if (hasUnfinished) files::removeFromSignal(unfinishedDirectory, unfinishedName);
}

// Set before the file is created, so that no moment exists in which a signal
// could leave it behind unnamed.
bool registerUnfinished(const files::Directory& directory, const std::string& fileName) {
    exit_cleanup::add(removeUnfinished);
    const std::string name = directory.nameForSignals(fileName);
    if (name.size() >= sizeof unfinishedName) return false;
    hasUnfinished = 0;
    std::atomic_signal_fence(std::memory_order_seq_cst);
    std::memcpy(unfinishedName, name.c_str(), name.size() + 1);
    unfinishedDirectory = directory.forSignals();
    std::atomic_signal_fence(std::memory_order_seq_cst);
    hasUnfinished = 1;
    return true;
}

void forgetUnfinished() { hasUnfinished = 0; }

// A name beside the data file that nothing bears yet, for a file of the
// given kind: "." dataName "." process "." serial "." kind.
std::string nameBeside(const std::string& dataName, std::string_view kind) {
    static unsigned serial = 0;
    return "." + dataName + "." + std::to_string(files::processId()) + "." + std::to_string(serial++) + "." +
           std::string(kind);
}

bool sameName(std::string_view a, std::string_view b) {
    if (!files::namesIgnoreCase()) return a == b;
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return upper(x) == upper(y); });
}

// Whether `name` is one of the temporary files made beside `dataName`: after
// "." dataName, the shape ".0.0.tmp" once each run of digits is one 0.
bool isTemporaryNameOf(std::string_view name, std::string_view dataName) {
    if (name.size() <= dataName.size() + 1 || name[0] != '.' || !sameName(name.substr(1, dataName.size()), dataName))
        return false;
    std::string shape;
    for (char byte : name.substr(dataName.size() + 1)) {
        const bool digit = byte >= '0' && byte <= '9';
        if (!digit || shape.empty() || shape.back() != '0') shape += digit ? '0' : byte;
    }
    return shape == ".0.0." + std::string(TEMPORARY_KIND);
}

void removeStaleTemporaryFiles(files::Directory& directory) {
    directory.forEachName([&](const std::string& name) {
        if (isTemporaryNameOf(name, directory.dataName())) directory.removeIfAbandoned(name);
    });
}

// A new, empty file beside the data file, registered for the signal handler
// before it exists.
files::Handle createTemporaryBeside(files::Directory& directory, std::string& name) {
    for (int attempt = 0; attempt < OPEN_ATTEMPTS; ++attempt) {
        name = nameBeside(directory.dataName(), TEMPORARY_KIND);
        if (!registerUnfinished(directory, name)) return files::NO_FILE;
        bool existed = false;
        const files::Handle file = directory.create(name, existed);
        if (file != files::NO_FILE) return file;
        forgetUnfinished();
        if (!existed) return files::NO_FILE;
    }
    return files::NO_FILE;
}

LockAttempt asAttempt(files::Lock lock) {
    return lock == files::Lock::Taken  ? LockAttempt::Taken
           : lock == files::Lock::Busy ? LockAttempt::Busy
                                       : LockAttempt::Failed;
}

}  // namespace

DataFile::DataFile(std::string filePath, Purpose purpose) : path(std::move(filePath)) {
    const files::Access access = purpose == Purpose::Read     ? files::Access::Read
                                 : purpose == Purpose::Append ? files::Access::Append
                                                              : files::Access::Replace;
    for (int attempt = 0; attempt < OPEN_ATTEMPTS; ++attempt) {
        files::OpenError error = files::OpenError::None;
        const files::Handle file = files::open(path, access, createdFile, error);
        if (file == files::NO_FILE) {
            openStatus = error == files::OpenError::Missing && purpose != Purpose::Append ? Status::Missing : Status::Failed;
            return;
        }
        const LockAttempt locked = files::isRegularFile(file)
                                       ? waitForLock([&] { return asAttempt(files::tryLock(file, purpose != Purpose::Read)); })
                                       : LockAttempt::Failed;
        if (locked != LockAttempt::Taken) {
            files::close(file);
            openStatus = locked == LockAttempt::Busy ? Status::Locked : Status::Failed;
            return;
        }
        if (files::namesFile(file, path)) {
            handle = file;
            openStatus = Status::Open;
            if (purpose != Purpose::Read) {
                files::Directory directory(file, path);
                if (directory.isOpen()) removeStaleTemporaryFiles(directory);
            }
            return;
        }
        // Replaced (renamed over) while this waited for the lock: the old
        // file no longer bears the name, so open the new one.
        files::close(file);
    }
    createdFile = false;
    openStatus = Status::Failed;
}

DataFile::~DataFile() {
    if (openStatus == Status::Open) files::close(handle);
}

bool DataFile::read(const std::function<bool(std::string_view)>& consume, long long from) {
    std::string buffer(READ_CHUNK, '\0');
    for (long long offset = from;;) {
        const long long got = files::readAt(handle, offset, buffer.data(), buffer.size());
        if (got < 0) return false;
        if (got == 0) return true;
        offset += got;
        if (!consume(std::string_view(buffer.data(), static_cast<std::size_t>(got)))) return true;
    }
}

bool DataFile::size(long long& bytes) { return files::size(handle, bytes); }

bool DataFile::readLastByte(int& lastByte) {
    long long bytes = 0;
    if (!size(bytes)) return false;
    lastByte = -1;
    if (bytes == 0) return true;
    char byte = 0;
    if (files::readAt(handle, bytes - 1, &byte, 1) != 1) return false;
    lastByte = static_cast<unsigned char>(byte);
    return true;
}

bool DataFile::appendWhole(std::string_view bytes) {
    long long before = 0;
    if (!size(before)) return false;
    // Appending holds the lock alone, so the end found here stays the end.
    if (files::appendAndSync(handle, bytes, before)) {
        if (before == 0) files::syncNewName(path);
        return true;
    }
    files::truncate(handle, before);
    removeIfCreatedEmpty();
    return false;
}

void DataFile::removeIfCreatedEmpty() {
    // Only while it is still empty and still under the name (the lock keeps others out).
    long long now = -1;
    if (createdFile && size(now) && now == 0 && files::namesFile(handle, path)) files::remove(path);
}

bool DataFile::replaceWith(const std::function<bool(const Writer& write)>& produce) {
    files::Directory directory(handle, path);
    if (!directory.isOpen()) return false;
    std::string temporaryName;
    files::Handle temporary = createTemporaryBeside(directory, temporaryName);
    if (temporary == files::NO_FILE) return false;
    bool written = produce([&](std::string_view bytes) { return files::writeAll(temporary, bytes); }) &&
                   files::sync(temporary);
    written = directory.takeOver(temporary, temporaryName, handle) && written;
    const bool replaced =
        written && directory.renameOverData(temporaryName, nameBeside(directory.dataName(), "old"));
    if (!replaced) directory.remove(temporaryName);
    forgetUnfinished();
    if (temporary != files::NO_FILE) files::close(temporary);
    // The change is made: a directory that cannot be synced only leaves the
    // rename to the system's own time, and reporting a failure now would
    // invite doing the change twice.
    if (replaced) directory.sync();
    return replaced;
}

bool DataFile::replaceWith(std::string_view bytes) {
    return replaceWith([bytes](const Writer& write) { return write(bytes); });
}

bool DataFile::appendThroughReplacement(std::string_view bytes) {
    return replaceWith([&](const Writer& write) {
        bool copied = true;
        return read([&](std::string_view chunk) { return copied = write(chunk); }) && copied && write(bytes);
    });
}

}  // namespace storage
