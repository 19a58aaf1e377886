#include "storage/StoreFile.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "storage/CsvLineWriter.h"
#include "storage/FileSystem.h"
#include "storage/RecordScan.h"
#include "storage/LineRemoval.h"

namespace storage {
namespace {

constexpr CsvRecordReader::LineSpan UNKNOWN_LINE{-1, -1};

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
    found = FoundLine{};
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
    found = FoundLine{};
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
    const bool readOk = readWithinBound(file, scanned, [&](std::string_view chunk) {
        fingerprint.add(chunk);
        reader.feed(chunk);
        return true;
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

StoreFile::Search StoreFile::findRecord(int column, std::string_view text) {
    Search search;
    found = FoundLine{};
    DataFile file(fileName, DataFile::Purpose::Read);
    if (!file.isOpen()) {
        switch (file.status()) {
        case DataFile::Status::Missing:
            // Gone since the load: nothing loaded is in the file any more.
            if (scannedBytes > 0) forgetRowLines();
            knownContents = FileFingerprint();
            scannedBytes = fileSize = 0;
            search.read = LoadResult::Missing;
            return search;
        case DataFile::Status::Locked: search.read = LoadResult::Locked; return search;
        default: search.read = LoadResult::Failed; return search;
        }
    }
    // Every field but the one compared goes to a scratch text, emptied for
    // each: a record's bytes are held no longer than it is read.
    std::string compared;
    std::string scratch;
    std::size_t comparedRecord = static_cast<std::size_t>(-1);
    CsvRecordReader reader(
        layout, INT_MAX,
        [&](std::size_t record, std::size_t fieldColumn) -> std::string& {
            std::string& target = static_cast<int>(fieldColumn) == column ? compared : scratch;
            if (&target == &compared) comparedRecord = record;
            target.clear();
            return target;
        },
        FIELD_BYTES_KEPT);
    reader.onLineDone([&](std::size_t record, const LineSpan& line) {
        const std::string_view value = comparedRecord == record ? std::string_view(compared) : std::string_view();
        if (found.record < 0 && value == text) found = FoundLine{static_cast<int>(record), line};
    });
    const long long loadedBytes = knownContents ? scannedBytes : -1;
    FileFingerprint loadedPart;
    FileFingerprint fingerprint;
    long long scanned = 0;
    const bool readOk = readWithinBound(file, scanned, [&](std::string_view chunk) {
        // `scanned` already counts this chunk.
        const long long chunkStart = scanned - static_cast<long long>(chunk.size());
        if (chunkStart < loadedBytes)
            loadedPart.add(chunk.substr(0, static_cast<std::size_t>(std::min<long long>(
                                               static_cast<long long>(chunk.size()), loadedBytes - chunkStart))));
        fingerprint.add(chunk);
        reader.feed(chunk);
        // Once found, the rest is only needed to compare what was loaded.
        return found.record < 0 || scanned < loadedBytes;
    });
    long long size = 0;
    if (!readOk || !file.size(size)) {
        found = FoundLine{};
        search.read = LoadResult::Failed;
        return search;
    }
    if (size <= scanned) reader.finish();
    if (loadedBytes < 0 || scanned < loadedBytes || loadedPart != *knownContents) {
        // Changed since the load: its rows no longer say where their lines are.
        forgetRowLines();
        removedUnknownLine = removedUnknownLine || !removedLines.empty();
        removedLines.clear();
    }
    knownContents = fingerprint;
    scannedBytes = scanned;
    fileSize = size;
    search.read = LoadResult::Loaded;
    search.record = found.record;
    search.stoppedAtBound = found.record < 0 && size > scanned;
    return search;
}

void StoreFile::forgetRowLines() { std::fill(rowLines.begin(), rowLines.end(), UNKNOWN_LINE); }

bool StoreFile::append(ColumnList columns, int row) const { return appendIf(columns, row, {}) == AppendResult::Appended; }

StoreFile::AppendResult StoreFile::appendIf(ColumnList columns, int row,
                                            const std::function<bool(const RecordScanner& fileNow)>& allowed) const {
    std::string line;
    appendCsvLine(rowFields(columns, row), layout, line);
    DataFile file(fileName, DataFile::Purpose::Append);
    int lastByte = -1;
    if (!file.isOpen() || !file.readLastByte(lastByte)) return AppendResult::Failed;
    if (allowed) {
        bool readFailed = false;
        const RecordScanner fileNow = [&](const RecordVisitor& visit) {
            readFailed = readFailed || !scanRecords(file, layout, visit).readOk;
            return !readFailed;
        };
        const bool yes = allowed(fileNow);
        if (readFailed || !yes) {
            file.removeIfCreatedEmpty();
            return readFailed ? AppendResult::Failed : AppendResult::Refused;
        }
    }
    // Keeps the new record off an unterminated last line; a CR at the end
    // already ends it.
    if (lastByte != -1 && lastByte != '\n' && lastByte != '\r') line.insert(0, "\r\n");
    return file.appendWhole(line) ? AppendResult::Appended : AppendResult::Failed;
}

StoreFile::Count StoreFile::countRecords(int column, std::string_view text) const {
    Count count;
    DataFile file(fileName, DataFile::Purpose::Read);
    if (!file.isOpen()) {
        count.read = file.status() == DataFile::Status::Missing  ? LoadResult::Missing
                     : file.status() == DataFile::Status::Locked ? LoadResult::Locked
                                                                 : LoadResult::Failed;
        return count;
    }
    const RecordScan scan = scanRecords(file, layout, [&](const std::vector<std::string>& fields) {
        if (fields[static_cast<std::size_t>(column)] != text) return;
        if (count.matches++ == 0) count.firstMatch = fields;
    });
    if (!scan.readOk) return Count{};
    count.read = LoadResult::Loaded;
    count.stoppedAtBound = scan.stoppedAtBound;
    return count;
}

void StoreFile::removeLine(int row) {
    const bool inRows = row >= 0 && row < static_cast<int>(rowLines.size());
    if (found.record >= 0 && row == found.record) {
        removedLines.push_back(found.line);
        found = FoundLine{};
    } else if (inRows && rowLines[row].start >= 0) {
        removedLines.push_back(rowLines[row]);
    } else {
        removedUnknownLine = true;
    }
    if (inRows) rowLines.erase(rowLines.begin() + row);
}

SaveResult StoreFile::replace() {
    if (removedLines.empty() && !removedUnknownLine) return SaveResult::Saved;
    if (removedUnknownLine || !knownContents) return SaveResult::Failed;
    DataFile file(fileName, DataFile::Purpose::Replace);
    long long size = 0;
    // A file gone since the load is not made again.
    if (file.status() == DataFile::Status::Missing) return SaveResult::ChangedMeanwhile;
    if (!file.isOpen() || !file.size(size)) return SaveResult::Failed;
    // Shorter: more than appends happened.
    if (size < fileSize) return SaveResult::ChangedMeanwhile;
    return copyWithoutRemovedLines(file);
}

SaveResult StoreFile::copyWithoutRemovedLines(DataFile& file) {
    LineRemoval removal(removedLines, scannedBytes == fileSize ? fileSize : -1);
    // The removed lines all lie in the part read, so the copy's part read
    // is that much shorter.
    const long long newScannedBytes = scannedBytes - removal.removedBefore(scannedBytes);
    FileFingerprint seen;
    FileFingerprint copied;
    long long offset = 0;
    long long written = 0;
    bool writeOk = true;
    bool readOk = false;
    const bool replaced = file.replaceWith([&](const DataFile::Writer& write) {
        const auto writeCounted = [&](std::string_view piece) {
            if (written < newScannedBytes)
                copied.add(piece.substr(0, static_cast<std::size_t>(std::min(
                                               newScannedBytes - written, static_cast<long long>(piece.size())))));
            written += static_cast<long long>(piece.size());
            writeOk = write(piece);
            return writeOk;
        };
        bool copying = true;
        readOk = file.read([&](std::string_view chunk) {
            if (offset < scannedBytes)
                seen.add(chunk.substr(0, static_cast<std::size_t>(std::min(
                                             scannedBytes - offset, static_cast<long long>(chunk.size())))));
            offset += static_cast<long long>(chunk.size());
            copying = copying && removal.copy(chunk, writeCounted);
            // A broken removal still reads on to the end of the part read,
            // to tell a file changed meanwhile from a refused removal.
            return writeOk && (copying || offset < scannedBytes);
        });
        return readOk && writeOk && copying && offset >= fileSize && seen == *knownContents;
    });
    if (!replaced) {
        if (!readOk || !writeOk) return SaveResult::Failed;
        // Only a file that still begins with the bytes read may be copied.
        return offset < fileSize || seen != *knownContents ? SaveResult::ChangedMeanwhile : SaveResult::Failed;
    }
    for (LineSpan& line : rowLines) {
        if (line.start < 0) continue;
        const long long before = removal.removedBefore(line.start);
        line.start -= before;
        line.end -= before;
    }
    knownContents = copied;
    scannedBytes = newScannedBytes;
    fileSize = written;
    removedLines.clear();
    return SaveResult::Saved;
}

}  // namespace storage
