#include "storage/RecordStore.h"

#include <utility>

namespace storage {

RecordStore::RecordStore(const RecordTable& recordTable)
    : recordTable(recordTable), fields(recordTable.fields.size()), file(recordTable) {
    for (StoreColumn& column : fields) columnPointers.push_back(&column);
}

void RecordStore::clear() {
    emptyRows(columns(), 0, count);
    count = 0;
    file.forget();
    lastLoad = StoreFile::LoadResult::Missing;
    lastSearch = {};
}

bool RecordStore::load() {
    lastLoad = file.load(columns(), count);
    lastSearch.matches.clear();
    return lastLoad == StoreFile::LoadResult::Loaded;
}

bool RecordStore::appendRecord() { return file.append(columns(), WORK_ROW) == AppendResult::Appended; }

SaveResult RecordStore::saveAll() { return file.replace(); }

void RecordStore::removeRecord(int row) {
    // A record found past the rows held leaves only the file.
    if (row < count) {
        removeRow(columns(), row, count);
        --count;
    }
    // A record the last search found names its line; a loaded row its own.
    const std::optional<StoreFile::LineSpan> rowLine = file.takeRowLine(row);
    const StoreFile::Match* found = lastSearch.matchOf(row);
    file.removeLine(found ? found->line : rowLine);
    if (found) std::erase_if(lastSearch.matches, [row](const StoreFile::Match& match) { return match.record == row; });
}

int RecordStore::findRecord(int column, const std::string& text) {
    lastSearch = file.findRecord(column, text);
    lastLoad = lastSearch.read.result;
    return lastSearch.firstRecord();
}

const std::vector<StoreFile::Match>& RecordStore::recordsFound() const { return lastSearch.matches; }
bool RecordStore::searchStoppedAtBound() const { return lastSearch.read.stoppedAtBound; }
int RecordStore::recordCount() const { return count; }
int RecordStore::unreadLineCount() const { return file.unreadLineCount(); }
bool RecordStore::hasUncountedLines() const { return file.stoppedBeforeEnd(); }
bool RecordStore::wasLocked() const { return lastLoad == StoreFile::LoadResult::Locked; }

}  // namespace storage
