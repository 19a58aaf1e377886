#include "storage/StoreFile.h"

#include <algorithm>
#include <climits>
#include <utility>

#include "storage/CsvLineWriter.h"
#include "storage/CsvRecordReader.h"
#include "storage/FileSystem.h"

namespace storage {

StoreFile::StoreFile(std::string name, CsvLayout lineLayout)
    : fileName(std::move(name)), layout(lineLayout), knownContents(FileFingerprint()) {}

void StoreFile::forget() {
    // An empty store matches only a missing or empty file.
    knownContents = FileFingerprint();
    unreadLines = 0;
}

bool StoreFile::load(ColumnList columns, int& count) {
    DataFile file(fileName, DataFile::Purpose::Read);
    unreadLines = 0;
    if (!file.isOpen()) {
        knownContents.reset();
        if (file.status() == DataFile::Status::Missing) knownContents = FileFingerprint();
        return false;
    }
    // The bytes go straight into the rows after `count`, which the caller
    // has emptied; their strings keep their capacity from earlier loads.
    const int firstRow = count;
    int rowsTouched = 0;
    CsvRecordReader reader(layout, MAX_RECORDS - 1 - firstRow,
                           [&](std::size_t record, std::size_t column) -> std::string& {
                               rowsTouched = std::max(rowsTouched, static_cast<int>(record) + 1);
                               return (*columns[column])[firstRow + static_cast<int>(record)];
                           });
    FileFingerprint fingerprint;
    bool readWhole = file.readAll([&](std::string_view chunk) {
        fingerprint.add(chunk);
        reader.feed(chunk);
    });
    if (!readWhole) {
        emptyRows(columns, firstRow, firstRow + rowsTouched - 1);
        knownContents.reset();
        return false;
    }
    reader.finish();
    count = firstRow + static_cast<int>(reader.keptRecordCount());
    long long notKept = reader.recordsNotKept();
    unreadLines = notKept > INT_MAX ? INT_MAX : static_cast<int>(notKept);
    knownContents = fingerprint;
    return true;
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

bool StoreFile::replace(ColumnList columns, int count) {
    if (unreadLines > 0 || !knownContents) return false;
    std::string lines;
    for (int row = 0; row < count; ++row) appendCsvLine(rowFields(columns, row), layout, lines);

    DataFile file(fileName, DataFile::Purpose::Replace);
    if (!file.isOpen()) return false;
    FileFingerprint current;
    if (!file.readAll([&](std::string_view chunk) { current.add(chunk); })) return false;
    if (!(current == *knownContents)) return false;
    if (!file.replaceWith(lines)) {
        // The rename may have happened before a later step failed; only a
        // fresh load tells again what the file holds.
        knownContents.reset();
        return false;
    }
    knownContents = FileFingerprint();
    knownContents->add(lines);
    return true;
}

}  // namespace storage
