#include "storage/RecordScan.h"

#include <algorithm>
#include <climits>

#include "storage/FileSystem.h"
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

std::optional<FileView> scanRecords(DataFile& file, const CsvLayout& layout,
                       const std::function<void(const std::vector<std::string>& fields)>& visit) {
    std::vector<std::string> fields(static_cast<std::size_t>(layout.columnCount));
    CsvRecordReader reader(
        layout, INT_MAX, [&](std::size_t, std::size_t column) -> std::string& { return fields[column]; },
        FIELD_BYTES_KEPT);
    reader.onLineDone([&](std::size_t, const CsvRecordReader::LineSpan&) {
        visit(fields);
        for (std::string& field : fields) field.clear();
    });
    return scanFile(file, reader);
}

}  // namespace storage
