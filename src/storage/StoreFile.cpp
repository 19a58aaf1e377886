#include "storage/StoreFile.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "storage/CsvLineWriter.h"
#include "storage/FileSystem.h"

namespace storage {
namespace {

constexpr CsvRecordReader::LineSpan UNKNOWN_LINE{-1, -1};

long long lengthOf(const CsvRecordReader::LineSpan& line) { return line.end - line.start; }

}  // namespace

StoreFile::StoreFile(std::string name, CsvLayout lineLayout)
    : fileName(std::move(name)), layout(lineLayout), knownContents(FileFingerprint()) {}

void StoreFile::forget() {
    // An empty store matches only a missing or empty file.
    knownContents = FileFingerprint();
    scannedBytes = 0;
    fileSize = 0;
    rowLines.clear();
    removedLines.clear();
    removedUnknownLine = false;
    unreadLines = 0;
    stoppedEarly = false;
}

StoreFile::LoadResult StoreFile::load(ColumnList columns, int& count) {
    DataFile file(fileName, DataFile::Purpose::Read);
    unreadLines = 0;
    stoppedEarly = false;
    removedLines.clear();
    removedUnknownLine = false;
    const int firstRow = count;
    // Rows filled before this load came from no line of it.
    rowLines.assign(static_cast<std::size_t>(firstRow), UNKNOWN_LINE);
    if (!file.isOpen()) {
        knownContents.reset();
        switch (file.status()) {
        case DataFile::Status::Missing:
            knownContents = FileFingerprint();
            scannedBytes = fileSize = 0;
            return LoadResult::Missing;
        case DataFile::Status::Locked: return LoadResult::Locked;
        default: return LoadResult::Failed;
        }
    }
    // The bytes go straight into the rows after `count`, which the caller
    // has emptied; their strings keep their capacity from earlier loads.
    int rowsTouched = 0;
    CsvRecordReader reader(
        layout, MAX_RECORDS - 1 - firstRow,
        [&](std::size_t record, std::size_t column) -> std::string& {
            rowsTouched = std::max(rowsTouched, static_cast<int>(record) + 1);
            return (*columns[column])[firstRow + static_cast<int>(record)];
        },
        FIELD_BYTES_KEPT);
    FileFingerprint fingerprint;
    long long scanned = 0;
    const bool readOk = file.read([&](std::string_view chunk) {
        chunk = chunk.substr(0, static_cast<std::size_t>(
                                    std::min<long long>(static_cast<long long>(chunk.size()), FILE_BYTES_SCANNED - scanned)));
        fingerprint.add(chunk);
        reader.feed(chunk);
        scanned += static_cast<long long>(chunk.size());
        return scanned < FILE_BYTES_SCANNED;
    });
    long long size = 0;
    if (!readOk || !file.size(size)) {
        emptyRows(columns, firstRow, firstRow + rowsTouched - 1);
        knownContents.reset();
        return LoadResult::Failed;
    }
    stoppedEarly = size > scanned;
    // A line that the end of the scan cuts off is no record.
    if (!stoppedEarly) reader.finish();
    const int kept = static_cast<int>(reader.keptRecordCount());
    emptyRows(columns, firstRow + kept, firstRow + rowsTouched - 1);
    count = firstRow + kept;
    rowLines.insert(rowLines.end(), reader.keptLines().begin(), reader.keptLines().end());
    long long notKept = reader.recordsNotKept();
    unreadLines = notKept > INT_MAX ? INT_MAX : static_cast<int>(notKept);
    knownContents = fingerprint;
    scannedBytes = scanned;
    fileSize = size;
    return LoadResult::Loaded;
}

bool StoreFile::append(ColumnList columns, int row) const {
    std::string line;
    appendCsvLine(rowFields(columns, row), layout, line);
    DataFile file(fileName, DataFile::Purpose::Append);
    int lastByte = -1;
    if (!file.isOpen() || !file.readLastByte(lastByte)) return false;
    // Keeps the new record off an unterminated last line.
    if (lastByte != -1 && lastByte != '\n') line.insert(0, "\r\n");
    return file.appendWhole(line);
}

void StoreFile::removeLine(int row) {
    if (row < 0 || row >= static_cast<int>(rowLines.size()) || rowLines[row].start < 0) {
        removedUnknownLine = true;
        return;
    }
    removedLines.push_back(rowLines[row]);
    rowLines.erase(rowLines.begin() + row);
}

bool StoreFile::replace() {
    if (removedLines.empty() && !removedUnknownLine) return true;
    if (removedUnknownLine || !knownContents) return false;
    DataFile file(fileName, DataFile::Purpose::Replace);
    long long size = 0;
    // A file gone since the load is not made again.
    if (!file.isOpen() || !file.size(size) || size != fileSize) return false;
    return copyWithoutRemovedLines(file);
}

bool StoreFile::copyWithoutRemovedLines(DataFile& file) {
    std::vector<LineSpan> removed = removedLines;
    std::sort(removed.begin(), removed.end(), [](const LineSpan& a, const LineSpan& b) { return a.start < b.start; });
    long long removedBytes = 0;
    for (const LineSpan& line : removed) removedBytes += lengthOf(line);
    // The removed lines all lie in the part read, so the copy's part read
    // is that much shorter.
    const long long newScannedBytes = scannedBytes - removedBytes;

    FileFingerprint seen;
    FileFingerprint copied;
    long long offset = 0;
    long long written = 0;
    const bool replaced = file.replaceWith([&](const DataFile::Writer& write) {
        std::size_t nextRemoved = 0;
        bool writeOk = true;
        const bool readOk = file.read([&](std::string_view chunk) {
            const long long chunkStart = offset;
            offset += static_cast<long long>(chunk.size());
            if (chunkStart < scannedBytes)
                seen.add(chunk.substr(0, static_cast<std::size_t>(std::min(offset, scannedBytes) - chunkStart)));
            for (long long at = chunkStart; at < offset && writeOk;) {
                while (nextRemoved < removed.size() && removed[nextRemoved].end <= at) ++nextRemoved;
                long long pieceEnd = offset;
                if (nextRemoved < removed.size()) {
                    if (removed[nextRemoved].start <= at) {
                        at = std::min(removed[nextRemoved].end, offset);
                        continue;
                    }
                    pieceEnd = std::min(offset, removed[nextRemoved].start);
                }
                const std::string_view piece = chunk.substr(static_cast<std::size_t>(at - chunkStart),
                                                            static_cast<std::size_t>(pieceEnd - at));
                if (written < newScannedBytes)
                    copied.add(piece.substr(0, static_cast<std::size_t>(
                                                   std::min(newScannedBytes - written, pieceEnd - at))));
                writeOk = write(piece);
                written += pieceEnd - at;
                at = pieceEnd;
            }
            return writeOk;
        });
        // Only bytes unchanged since the load may be copied.
        return readOk && writeOk && offset == fileSize && seen == *knownContents;
    });
    if (!replaced) return false;
    for (LineSpan& line : rowLines) {
        if (line.start < 0) continue;
        long long before = 0;
        for (const LineSpan& gone : removed) before += gone.end <= line.start ? lengthOf(gone) : 0;
        line.start -= before;
        line.end -= before;
    }
    knownContents = copied;
    scannedBytes = newScannedBytes;
    fileSize -= removedBytes;
    removedLines.clear();
    return true;
}

}  // namespace storage
