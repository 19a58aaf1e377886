#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace storage {

// One data file, opened and locked for the length of one store operation and
// closed (lock released) when the object ends. Readers share the lock;
// appending and replacing hold it alone. A lock held elsewhere is waited for
// a few seconds at most (status Locked after that). Written once over each
// system's own file calls (platform/FilePrimitives.h).
class DataFile {
public:
    enum class Purpose { Read, Append, Replace };
    enum class Status { Open, Missing, Locked, Failed };

    // Read and Replace open an existing file; Append creates it when missing.
    // Only regular files are opened, and opening never blocks on anything
    // else under the name. When the file was replaced while this waited for
    // the lock, the file now under the name is opened instead. Append and
    // Replace first remove the temporary files that writers killed before
    // they could finish left beside the file.
    DataFile(std::string path, Purpose purpose);
    ~DataFile();
    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    Status status() const { return openStatus; }
    bool isOpen() const { return openStatus == Status::Open; }

    // Hands the file to `consume`, from byte `from` on, in chunks, until its
    // end or until `consume` returns false. False on a read error.
    bool read(const std::function<bool(std::string_view)>& consume, long long from = 0);

    // The file's size in bytes. False on an error.
    bool size(long long& bytes);

    // The file's last byte, or -1 when the file is empty. False on an error.
    bool readLastByte(int& lastByte);

    // Writes the bytes at the end with a single write and syncs them to disk.
    // On any failure the file is cut back to its former length, so it never
    // keeps part of the bytes; a file this open made is removed again then.
    bool appendWhole(std::string_view bytes);
    // A file this Append created goes again while it is still empty: an
    // append that wrote nothing leaves no file behind.
    void removeIfCreatedEmpty();

    // Makes the file hold exactly what `produce` hands to its writer: a
    // temporary file in the same directory is written, synced, given this
    // file's permissions and renamed over the name. When `produce` or a
    // write fails, the temporary file goes and the file stays as it was. True
    // once the rename is done, whatever happens after it.
    using Writer = std::function<bool(std::string_view)>;
    bool replaceWith(const std::function<bool(const Writer& write)>& produce);
    bool replaceWith(std::string_view bytes);
    // Makes the file hold what it holds now and then `bytes`, through
    // replaceWith: all or nothing whatever ends the program meanwhile, where
    // the one write of appendWhole may be cut short by a signal. For an
    // append of many lines at once (an import).
    bool appendThroughReplacement(std::string_view bytes);

private:
    std::string path;
    std::intptr_t handle = -1;
    Status openStatus = Status::Failed;
    // Made by this object's open (Append), so an append that fails removes it.
    bool createdFile = false;
};

}  // namespace storage
