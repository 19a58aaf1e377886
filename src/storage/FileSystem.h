#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace storage {

// One data file, opened and locked for the length of one store operation and
// closed (lock released) when the object ends. Readers share the lock;
// appending and replacing hold it alone. All the operating-system calls on
// files are behind this class, in one source file per system.
class DataFile {
public:
    enum class Purpose { Read, Append, Replace };
    enum class Status { Open, Missing, Failed };

    // Read opens an existing file; Append and Replace create it when missing.
    // Only regular files are opened. When the file was replaced while this
    // waited for the lock, the file now under the name is opened instead.
    DataFile(std::string path, Purpose purpose);
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    Status status() const { return openStatus; }
    bool isOpen() const { return openStatus == Status::Open; }

    // Hands the whole file to `consume`, from its start, in chunks. False on a
    // read error.
    bool readAll(const std::function<void(std::string_view)>& consume);

    // The file's last byte, or -1 when the file is empty. False on an error.
    bool readLastByte(int& lastByte);

    // Writes the bytes at the end with a single write and syncs them to disk.
    // On any failure the file is cut back to its former length, so it never
    // keeps part of the bytes.
    bool appendWhole(std::string_view bytes);

    // Makes the file hold exactly these bytes: a temporary file in the same
    // directory is written, synced, given this file's permissions and renamed
    // over the name; then the directory is synced. On failure the file is
    // left as it was.
    bool replaceWith(std::string_view bytes);

private:
    std::string path;
    std::intptr_t handle = -1;
    Status openStatus = Status::Failed;
};

}  // namespace storage
