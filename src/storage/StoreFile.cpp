#include "storage/StoreFile.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "storage/Csv.h"
#include "storage/DataFile.h"
#include "storage/LineRemoval.h"

namespace storage {

StoreFile::StoreFile(const RecordTable& recordTable) : table(recordTable), seen(FileView{}) {}

void StoreFile::forget() {
    // An empty store matches only a missing or empty file.
    seen = FileView{};
    rowLines.clear();
    removedLines.clear();
    replacements.clear();
    removedUnknownLine = false;
    unreadLines = 0;
    stoppedEarly = false;
}

StoreFile::LoadResult StoreFile::load(ColumnList columns, int& count) {
    DataFile file(std::string(table.fileName), DataFile::Purpose::Read);
    unreadLines = 0;
    stoppedEarly = false;
    removedLines.clear();
    replacements.clear();
    removedUnknownLine = false;
    const int firstRow = count;
    // Rows filled before this load came from no line of it.
    rowLines.assign(static_cast<std::size_t>(firstRow), std::nullopt);
    const LoadResult opened = openResult(file);
    if (opened != LoadResult::Loaded) {
        seen.reset();
        if (opened == LoadResult::Missing) seen = FileView{};
        return opened;
    }
    // The bytes go straight into the rows after `count`, which the caller
    // has emptied; their strings keep their capacity from earlier loads.
    int rowsTouched = 0;
    CsvRecordReader reader(
        table.line, MAX_RECORDS - 1 - firstRow,
        [&](std::size_t record, std::size_t column) -> std::string& {
            rowsTouched = std::max(rowsTouched, static_cast<int>(record) + 1);
            return (*columns[column])[firstRow + static_cast<int>(record)];
        },
        FIELD_BYTES_KEPT);
    reader.onLineDone([&](std::size_t, const LineSpan& line) { rowLines.emplace_back(line); });
    seen = scanFile(file, reader);
    if (!seen) {
        emptyRows(columns, firstRow, firstRow + rowsTouched - 1);
        rowLines.resize(static_cast<std::size_t>(firstRow));
        return LoadResult::Failed;
    }
    stoppedEarly = seen->stoppedBeforeEnd();
    const int kept = static_cast<int>(reader.keptRecordCount());
    emptyRows(columns, firstRow + kept, firstRow + rowsTouched - 1);
    count = firstRow + kept;
    const long long notKept = reader.recordsNotKept();
    unreadLines = notKept > INT_MAX ? INT_MAX : static_cast<int>(notKept);
    return LoadResult::Loaded;
}

const StoreFile::Match* StoreFile::Search::matchOf(int record) const {
    for (const Match& match : matches)
        if (match.record == record) return &match;
    return nullptr;
}

StoreFile::Search StoreFile::findRecord(int column, std::string_view text) {
    Search search;
    DataFile file(std::string(table.fileName), DataFile::Purpose::Read);
    search.read.result = openResult(file);
    if (search.read.result == LoadResult::Missing) {
        // Gone since the load: nothing loaded is in the file any more.
        if (!seen || seen->bytesRead > 0) forgetRowLines();
        seen = FileView{};
    }
    if (search.read.result != LoadResult::Loaded) return search;
    // The fields of the record being read, emptied after each.
    std::vector<std::string> fields(static_cast<std::size_t>(table.line.columnCount));
    CsvRecordReader reader(
        table.line, INT_MAX, [&](std::size_t, std::size_t fieldColumn) -> std::string& { return fields[fieldColumn]; },
        FIELD_BYTES_KEPT);
    reader.onLineDone([&](std::size_t record, const LineSpan& line) {
        if (fields[static_cast<std::size_t>(column)] == text && search.matches.size() < Search::MATCHES_HELD)
            search.matches.push_back(
                {static_cast<int>(record), line, reader.fieldsOfLine(), reader.fieldsPlaced(), fields});
        for (std::string& field : fields) field.clear();
    });
    const long long loadedBytes = seen ? seen->bytesRead : -1;
    FileFingerprint loadedPart;
    const std::optional<FileView> view = scanFile(file, reader, [&](std::string_view chunk, long long chunkStart) {
        loadedPart.addBefore(loadedBytes, chunkStart, chunk);
        return true;
    });
    if (!view) return Search{};
    if (!seen || view->bytesRead < loadedBytes || loadedPart != seen->fingerprint) {
        // Changed since the load: its rows no longer say where their lines are.
        forgetRowLines();
        removedUnknownLine = removedUnknownLine || !removedLines.empty() || !replacements.empty();
        removedLines.clear();
        replacements.clear();
    }
    seen = view;
    search.read.stoppedAtBound = search.matches.empty() && view->stoppedBeforeEnd();
    return search;
}

void StoreFile::forgetRowLines() { std::fill(rowLines.begin(), rowLines.end(), std::nullopt); }

AppendResult appendRecord(const RecordTable& table, std::span<const std::string_view> fields,
                          const AppendCheck& allowed) {
    std::string line;
    appendCsvLine(fields, table.line, line);
    DataFile file(std::string(table.fileName), DataFile::Purpose::Append);
    int lastByte = -1;
    if (!file.isOpen() || !file.readLastByte(lastByte)) return AppendResult::Failed;
    if (allowed) {
        bool readFailed = false;
        const RecordScanner fileNow = [&](const RecordVisitor& visit) {
            readFailed = readFailed || !scanRecords(file, table.line, visit);
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

RecordCount countRecords(const RecordTable& table, int column, std::string_view text) {
    RecordCount count;
    count.read = readRecords(table, [&](const std::vector<std::string>& fields) {
        if (fields[static_cast<std::size_t>(column)] != text) return;
        if (count.matches++ == 0) count.firstMatch = fields;
    });
    if (!count.read.ok()) return RecordCount{count.read, 0, {}};
    return count;
}

std::optional<StoreFile::LineSpan> StoreFile::takeRowLine(int row) {
    if (row < 0 || row >= static_cast<int>(rowLines.size())) return std::nullopt;
    const std::optional<LineSpan> line = rowLines[static_cast<std::size_t>(row)];
    rowLines.erase(rowLines.begin() + row);
    return line;
}

void StoreFile::removeLine(const std::optional<LineSpan>& line) {
    if (line) {
        removedLines.push_back(*line);
    } else {
        removedUnknownLine = true;
    }
}

void StoreFile::replaceFields(const Match& match, const std::vector<std::optional<std::string>>& values) {
    const std::vector<LineSpan>& places = match.fieldPlaces;
    const auto columns = static_cast<std::size_t>(table.line.columnCount);
    // A line that ends in a separator before all its fields are there has
    // an empty place after it that is no field: the separator stays its last.
    const bool endsInSeparator = table.line.separatorAfterLastField && places.size() > 1 && places.size() < columns &&
                                 places.back().start == places.back().end;
    const std::size_t present = places.size() - (endsInSeparator ? 1 : 0);
    std::vector<LineRemoval::Splice> splices;
    // The fields a line lacks are added as an append writes them: all of
    // them for a value after the plain ones, else up to those, so that a line
    // of the plain format stays plain.
    std::size_t addedUpTo = present;
    for (std::size_t column = 0; column < values.size(); ++column) {
        if (!values[column]) continue;
        if (column >= present) {
            const auto plain = static_cast<std::size_t>(table.line.plainColumnCount);
            const bool plainEnough = plain > 0 && (column < plain || values[column]->empty());
            addedUpTo = std::max(addedUpTo, plainEnough ? std::min(plain, columns) : columns);
            continue;
        }
        std::string text;
        appendCsvField(*values[column], text);
        splices.push_back({places[column].start, places[column].end, std::move(text)});
    }
    if (addedUpTo > present) {
        if (!match.fieldsPlaced || present == 0) {
            removedUnknownLine = true;
            return;
        }
        // The fields the line lacks, as an append writes them.
        std::string added;
        for (std::size_t column = present; column < addedUpTo; ++column) {
            added += ',';
            if (column < values.size() && values[column]) appendCsvField(*values[column], added);
        }
        if (table.line.separatorAfterLastField && !endsInSeparator) added += ',';
        splices.push_back({places[present - 1].end, places[present - 1].end, std::move(added)});
    }
    // Asked again after a failed save: the one correction of that line stands.
    std::erase_if(replacements, [&](const Replacement& earlier) { return earlier.line.start == match.line.start; });
    if (!splices.empty()) replacements.push_back({match.line, std::move(splices)});
}

SaveResult StoreFile::replace() {
    if (removedLines.empty() && replacements.empty() && !removedUnknownLine) return SaveResult::Saved;
    if (removedUnknownLine || !seen) return SaveResult::Failed;
    DataFile file(std::string(table.fileName), DataFile::Purpose::Replace);
    long long size = 0;
    // A file gone since the load is not made again.
    if (file.status() == DataFile::Status::Missing) return SaveResult::ChangedMeanwhile;
    if (!file.isOpen() || !file.size(size)) return SaveResult::Failed;
    // Shorter: more than appends happened.
    if (size < seen->size) return SaveResult::ChangedMeanwhile;
    return copyWithoutRemovedLines(file);
}

SaveResult StoreFile::copyWithoutRemovedLines(DataFile& file) {
    const FileView before = *seen;
    std::vector<LineSpan> changedLines = removedLines;
    for (const Replacement& replacement : replacements) changedLines.push_back(replacement.line);
    LineRemoval removal(changedLines, before.bytesRead == before.size ? before.size : -1);
    for (const Replacement& replacement : replacements) removal.replaceText(replacement.line.start, replacement.splices);
    // The removed lines all lie in the part read, so the copy's part read
    // is that much shorter.
    FileView after;
    after.bytesRead = before.bytesRead - removal.removedBefore(before.bytesRead);
    FileFingerprint found;
    long long offset = 0;
    bool writeOk = true;
    bool readOk = false;
    const bool replaced = file.replaceWith([&](const DataFile::Writer& write) {
        const auto writeCounted = [&](std::string_view piece) {
            after.fingerprint.addBefore(after.bytesRead, after.size, piece);
            after.size += static_cast<long long>(piece.size());
            writeOk = write(piece);
            return writeOk;
        };
        bool copying = true;
        readOk = file.read([&](std::string_view chunk) {
            found.addBefore(before.bytesRead, offset, chunk);
            offset += static_cast<long long>(chunk.size());
            copying = copying && removal.copy(chunk, writeCounted);
            // A broken removal still reads on to the end of the part read,
            // to tell a file changed meanwhile from a refused removal.
            return writeOk && (copying || offset < before.bytesRead);
        });
        return readOk && writeOk && copying && offset >= before.size && found == before.fingerprint;
    });
    if (!replaced) {
        if (!readOk || !writeOk) return SaveResult::Failed;
        // Only a file that still begins with the bytes read may be copied.
        return offset < before.size || found != before.fingerprint ? SaveResult::ChangedMeanwhile : SaveResult::Failed;
    }
    for (std::optional<LineSpan>& line : rowLines) {
        if (!line) continue;
        const long long removedBefore = removal.removedBefore(line->start);
        line->start -= removedBefore;
        line->end -= removedBefore;
    }
    removedLines.clear();
    if (!replacements.empty()) {
        // A corrected line may be longer or shorter: what was read no longer
        // tells where the lines are, so the next change reads the file again.
        replacements.clear();
        forgetRowLines();
        seen.reset();
        return SaveResult::Saved;
    }
    seen = after;
    return SaveResult::Saved;
}

void emptyRows(ColumnList columns, int firstRow, int lastRow) {
    for (int row = firstRow; row <= lastRow; ++row) {
        for (StoreColumn* column : columns) (*column)[row].clear();
    }
}

void removeRow(ColumnList columns, int row, int count) {
    for (int i = row; i < count; ++i) {
        // Swapping keeps every string's capacity for the next load.
        for (StoreColumn* column : columns) (*column)[i].swap((*column)[i + 1]);
    }
    for (StoreColumn* column : columns) (*column)[count].clear();
}

std::vector<std::string_view> rowFields(ColumnList columns, int row) {
    std::vector<std::string_view> fields;
    fields.reserve(columns.size());
    for (StoreColumn* column : columns) fields.emplace_back((*column)[row]);
    return fields;
}

}  // namespace storage
