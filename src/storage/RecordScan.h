#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Csv.h"
#include "storage/RecordTable.h"

namespace storage {

// Size and a 64-bit hash of a file's bytes, built chunk by chunk (the result
// does not depend on where the chunks end): tells whether a file still holds
// exactly the bytes that were loaded from it.
class FileFingerprint {
public:
    void add(std::string_view bytes);
    // Adds the part of `chunk`, which starts at `chunkStart` of the file,
    // that lies before `bound`.
    void addBefore(long long bound, long long chunkStart, std::string_view chunk);
    bool operator==(const FileFingerprint&) const = default;

private:
    void mix(std::uint64_t word);

    std::uint64_t size = 0;
    std::uint64_t hash = 0x243F6A8885A308D3ULL;
    std::uint64_t partialWord = 0;  // bytes that do not yet fill a word
    int partialBytes = 0;
};

class DataFile;

enum class LoadResult { Loaded, Missing, Locked, Failed };

// How a read of a data file went: a missing file holds no records.
struct FileRead {
    LoadResult result = LoadResult::Failed;
    // Read from the start: the file goes on past FILE_BYTES_SCANNED. Read
    // from the end: older lines before the last FILE_BYTES_SCANNED were not read.
    bool stoppedAtBound = false;
    bool ok() const { return result == LoadResult::Loaded || result == LoadResult::Missing; }
    bool locked() const { return result == LoadResult::Locked; }
};

using RecordVisitor = std::function<void(const std::vector<std::string>& fields)>;

// Where a whole read starts: a file's first FILE_BYTES_SCANNED bytes, or
// for a file only ever appended to (the journal) its last ones, from the
// first line that starts within them, so that its newest lines are read.
enum class ReadFrom { Start, End };

// The one read of a whole data file: hands its records, as far as a load
// reads, to `visit` as their fields (each cut to FIELD_BYTES_KEPT), one at a
// time, holding none; a file of any length is looked through in bounded memory.
FileRead readRecords(const RecordTable& table, const RecordVisitor& visit, ReadFrom from = ReadFrom::Start);

// What a read of a data file saw: the bytes read from its start (their
// fingerprint and number) and the file's size then.
struct FileView {
    FileFingerprint fingerprint;
    long long bytesRead = 0;
    long long size = 0;
    bool stoppedBeforeEnd() const { return size > bytesRead; }
};

// How opening a data file ended, for a file that is not open (else Loaded).
LoadResult openResult(const DataFile& file);

// Hands an open data file's bytes from its start, as far as
// FILE_BYTES_SCANNED and while `more` (told each chunk and where it starts)
// says so, to `reader`, which hands each record with its line span to its
// caller; a line cut off where the reading stopped is no record. Nothing on a
// read error. Works on a file opened for an append too, under its lock.
using ChunkSeen = std::function<bool(std::string_view chunk, long long chunkStart)>;
std::optional<FileView> scanFile(DataFile& file, CsvRecordReader& reader, const ChunkSeen& more = {});

// Hands every record of an open data file to `visit` as its fields (each cut
// to FIELD_BYTES_KEPT), one record at a time: a file of any length is looked
// through in bounded memory.
std::optional<FileView> scanRecords(DataFile& file, const CsvLayout& layout, const RecordVisitor& visit);

}  // namespace storage
