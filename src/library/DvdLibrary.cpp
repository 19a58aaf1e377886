#include "library/DvdLibrary.h"

#include <algorithm>
#include <utility>

#include "storage/FileSystem.h"
#include "storage/RecordScan.h"

namespace {
constexpr const char* LIBRARY_FILE = "DVDBibliothek.csv";
// Every line ends with a separator after the running time.
constexpr storage::CsvLayout LIBRARY_LINE{4, true};
}  // namespace

DvdLibrary::DvdLibrary() : file(LIBRARY_FILE, LIBRARY_LINE) {}

std::array<storage::StoreColumn*, 4> DvdLibrary::columns() {
    return {&genre, &titleGerman, &titleEnglish, &lengthMinutes};
}

void DvdLibrary::clear() {
    storage::emptyRows(columns(), 0, count);
    count = 0;
    file.forget();
    lastLoad = storage::StoreFile::LoadResult::Missing;
    lastSearch = {};
}

bool DvdLibrary::load() {
    lastLoad = file.load(columns(), count);
    lastSearch.record = NOT_FOUND;
    return lastLoad == storage::StoreFile::LoadResult::Loaded;
}

bool DvdLibrary::appendRecord() { return file.append(columns(), WORK_ROW); }

storage::SaveResult DvdLibrary::saveAll() { return file.replace(); }

void DvdLibrary::removeRecord(int row) {
    // A record found past the rows held leaves only the file.
    if (row < count) {
        storage::removeRow(columns(), row, count);
        --count;
    }
    // The record the last search found names its line; a loaded row its own.
    const std::optional<storage::StoreFile::LineSpan> rowLine = file.takeRowLine(row);
    const bool found = row >= 0 && row == lastSearch.record;
    file.removeLine(found ? lastSearch.line : rowLine);
    if (found) lastSearch.record = NOT_FOUND;
}

int DvdLibrary::findTitleGerman(const std::string& title) {
    lastSearch = file.findRecord(1, title);
    lastLoad = lastSearch.read;
    return lastSearch.record;
}

int DvdLibrary::findRecordForEdit(const std::string& title) {
    cutValuesFound.clear();
    const int record = findTitleGerman(title);
    if (record == NOT_FOUND) return record;
    // The values of the first record of that title, read again; a file
    // changed in between is told by the replace.
    const storage::StoreFile::Count copies = file.countRecords(1, title);
    if (copies.firstMatch.size() != columns().size()) {
        lastSearch = storage::StoreFile::Search();
        lastSearch.read = copies.read;
        return NOT_FOUND;
    }
    for (std::size_t index = 0; index < copies.firstMatch.size(); ++index) {
        (*columns()[index])[WORK_ROW] = copies.firstMatch[index];
        if (copies.firstMatch[index].size() >= static_cast<std::size_t>(FIELD_BYTES_KEPT))
            cutValuesFound.push_back(copies.firstMatch[index]);
    }
    return record;
}

storage::SaveResult DvdLibrary::replaceRecord(int record) {
    if (record != lastSearch.record) return storage::SaveResult::Failed;
    // A value kept as it was shown must not be written shorter than it is.
    for (storage::StoreColumn* column : columns())
        if (std::find(cutValuesFound.begin(), cutValuesFound.end(), (*column)[WORK_ROW]) != cutValuesFound.end())
            return storage::SaveResult::Failed;
    file.replaceLine(lastSearch.line, columns(), WORK_ROW);
    return file.replace();
}

bool DvdLibrary::searchStoppedAtBound() const { return lastSearch.stoppedAtBound; }

storage::StoreFile::Count DvdLibrary::copiesOf(const std::string& titleGerman) const { return file.countRecords(1, titleGerman); }

bool DvdLibrary::visitFileRecords(const storage::StoreFile::RecordVisitor& visit) {
    storage::DataFile data(LIBRARY_FILE, storage::DataFile::Purpose::Read);
    return data.isOpen() && storage::scanRecords(data, LIBRARY_LINE, visit).has_value();
}

int DvdLibrary::recordCount() const { return count; }
int DvdLibrary::unreadLineCount() const { return file.unreadLineCount(); }
bool DvdLibrary::isComplete() const { return file.unreadLineCount() == 0 && !file.stoppedBeforeEnd(); }
bool DvdLibrary::hasUncountedLines() const { return file.stoppedBeforeEnd(); }
bool DvdLibrary::wasLocked() const { return lastLoad == storage::StoreFile::LoadResult::Locked; }

void DvdLibrary::setGenre(std::string text, int row) { genre[row] = std::move(text); }
std::string DvdLibrary::getGenre(int row) const { return genre[row]; }
void DvdLibrary::setTitleGerman(std::string text, int row) { titleGerman[row] = std::move(text); }
std::string DvdLibrary::getTitleGerman(int row) const { return titleGerman[row]; }
void DvdLibrary::setTitleEnglish(std::string text, int row) { titleEnglish[row] = std::move(text); }
std::string DvdLibrary::getTitleEnglish(int row) const { return titleEnglish[row]; }
void DvdLibrary::setLengthMinutes(std::string text, int row) { lengthMinutes[row] = std::move(text); }
std::string DvdLibrary::getLengthMinutes(int row) const { return lengthMinutes[row]; }
