#include "storage/RecordScan.h"

#include <algorithm>
#include <climits>

#include "storage/CsvRecordReader.h"
#include "storage/FileSystem.h"
#include "storage/StoreLimits.h"

namespace storage {

bool readWithinBound(DataFile& file, long long& scanned, const std::function<bool(std::string_view chunk)>& consume) {
    scanned = 0;
    return file.read([&](std::string_view chunk) {
        chunk = chunk.substr(0, static_cast<std::size_t>(
                                    std::min<long long>(static_cast<long long>(chunk.size()), FILE_BYTES_SCANNED - scanned)));
        scanned += static_cast<long long>(chunk.size());
        return consume(chunk) && scanned < FILE_BYTES_SCANNED;
    });
}

RecordScan scanRecords(DataFile& file, const CsvLayout& layout,
                       const std::function<void(const std::vector<std::string>& fields)>& visit) {
    std::vector<std::string> fields(static_cast<std::size_t>(layout.columnCount));
    CsvRecordReader reader(
        layout, INT_MAX, [&](std::size_t, std::size_t column) -> std::string& { return fields[column]; },
        FIELD_BYTES_KEPT);
    reader.onLineDone([&](std::size_t, const CsvRecordReader::LineSpan&) {
        visit(fields);
        for (std::string& field : fields) field.clear();
    });
    long long scanned = 0;
    RecordScan scan;
    scan.readOk = readWithinBound(file, scanned, [&](std::string_view chunk) {
        reader.feed(chunk);
        return true;
    });
    long long size = 0;
    if (!scan.readOk || !file.size(size)) return RecordScan{};
    // A line cut off at the bound is no record.
    if (size <= scanned) reader.finish();
    scan.stoppedAtBound = size > scanned;
    return scan;
}

}  // namespace storage
