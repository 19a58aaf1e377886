#include "storage/RecordScan.h"

#include <algorithm>
#include <climits>
#include <string>

#include "storage/DataFile.h"
#include "storage/StoreLimits.h"

namespace storage {

LoadResult openResult(const DataFile& file) {
    switch (file.status()) {
    case DataFile::Status::Open: return LoadResult::Loaded;
    case DataFile::Status::Missing: return LoadResult::Missing;
    case DataFile::Status::Locked: return LoadResult::Locked;
    case DataFile::Status::Failed: break;
    }
    return LoadResult::Failed;
}

std::optional<FileView> scanFile(DataFile& file, CsvRecordReader& reader, const ChunkSeen& more) {
    FileView view;
    const bool readOk = file.read([&](std::string_view chunk) {
        chunk = chunk.substr(0, static_cast<std::size_t>(std::min<long long>(static_cast<long long>(chunk.size()),
                                                                             FILE_BYTES_SCANNED - view.bytesRead)));
        const long long chunkStart = view.bytesRead;
        view.bytesRead += static_cast<long long>(chunk.size());
        view.fingerprint.add(chunk);
        reader.feed(chunk);
        return (!more || more(chunk, chunkStart)) && view.bytesRead < FILE_BYTES_SCANNED;
    });
    if (!readOk || !file.size(view.size)) return std::nullopt;
    if (!view.stoppedBeforeEnd()) reader.finish();
    return view;
}

namespace {

// Reads records into `fields`, one at a time, and hands each but the first
// `skipped` to `visit`.
struct FieldsReader {
    std::vector<std::string> fields;
    CsvRecordReader reader;

    FieldsReader(const CsvLayout& layout, const RecordVisitor& visit, int skipped = 0)
        : fields(static_cast<std::size_t>(layout.columnCount)),
          reader(layout, INT_MAX, [this](std::size_t, std::size_t column) -> std::string& { return fields[column]; },
                 FIELD_BYTES_KEPT) {
        reader.onLineDone([this, &visit, skipped](std::size_t record, const CsvRecordReader::LineSpan&) {
            if (record >= static_cast<std::size_t>(skipped)) visit(fields);
            for (std::string& field : fields) field.clear();
        });
    }
};

// The records of an open data file's last FILE_BYTES_SCANNED bytes, from the
// first line that starts within them; how many bytes before them were not
// read (0: the whole file was).
std::optional<long long> scanLastRecords(DataFile& file, const CsvLayout& layout, const RecordVisitor& visit) {
    long long size = 0;
    if (!file.size(size)) return std::nullopt;
    const long long unread = std::max(0LL, size - FILE_BYTES_SCANNED);
    // Read from the byte before: the first line read then ends at or after
    // the first line start within the bound (when that byte ends a line, it
    // is that line end alone), and is left out.
    FieldsReader records(layout, visit, unread > 0 ? 1 : 0);
    const auto feed = [&](std::string_view chunk) {
        records.reader.feed(chunk);
        return true;
    };
    if (!file.read(feed, unread > 0 ? unread - 1 : 0)) return std::nullopt;
    records.reader.finish();
    return unread;
}

}  // namespace

std::optional<FileView> scanRecords(DataFile& file, const CsvLayout& layout, const RecordVisitor& visit) {
    FieldsReader records(layout, visit);
    return scanFile(file, records.reader);
}

FileRead readRecords(const RecordTable& table, const RecordVisitor& visit, ReadFrom from) {
    DataFile file(std::string(table.fileName), DataFile::Purpose::Read);
    FileRead read{openResult(file)};
    if (read.result != LoadResult::Loaded) return read;
    if (from == ReadFrom::End) {
        const std::optional<long long> unread = scanLastRecords(file, table.line, visit);
        if (!unread) return FileRead{};
        read.stoppedAtBound = *unread > 0;
        return read;
    }
    const std::optional<FileView> view = scanRecords(file, table.line, visit);
    if (!view) return FileRead{};
    read.stoppedAtBound = view->stoppedBeforeEnd();
    return read;
}

void FileFingerprint::mix(std::uint64_t word) {
    hash = (hash ^ word) * 0x9E3779B97F4A7C15ULL;
    hash ^= hash >> 29;
}

void FileFingerprint::add(std::string_view bytes) {
    size += bytes.size();
    // Whole words where possible: eight times fewer steps than byte by byte.
    while (partialBytes > 0 && !bytes.empty()) {
        partialWord |= std::uint64_t{static_cast<unsigned char>(bytes.front())} << (8 * partialBytes);
        bytes.remove_prefix(1);
        if (++partialBytes == 8) {
            mix(partialWord);
            partialWord = 0;
            partialBytes = 0;
        }
    }
    while (bytes.size() >= 8) {
        std::uint64_t word = 0;  // little-endian on every machine, as the partial words
        for (int i = 7; i >= 0; --i) word = (word << 8) | static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
        mix(word);
        bytes.remove_prefix(8);
    }
    for (unsigned char byte : bytes) partialWord |= std::uint64_t{byte} << (8 * partialBytes++);
}

void FileFingerprint::addBefore(long long bound, long long chunkStart, std::string_view chunk) {
    if (chunkStart >= bound) return;
    add(chunk.substr(0, static_cast<std::size_t>(std::min<long long>(bound - chunkStart, static_cast<long long>(chunk.size())))));
}

}  // namespace storage
