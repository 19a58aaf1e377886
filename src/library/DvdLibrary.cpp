#include "library/DvdLibrary.h"

#include <utility>

#include "library/LibraryRecord.h"
#include "storage/FileSystem.h"
#include "storage/RecordScan.h"

namespace {
constexpr std::string_view LIBRARY_FILE = library_record::FILE_NAME;
constexpr storage::CsvLayout LIBRARY_LINE{library_record::COLUMN_COUNT, library_record::ENDS_WITH_SEPARATOR};
}  // namespace

DvdLibrary::DvdLibrary() : file(std::string(LIBRARY_FILE), LIBRARY_LINE) {}

std::array<storage::StoreColumn*, library_record::COLUMN_COUNT> DvdLibrary::columns() {
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
    lastSearch = file.findRecord(library_record::TITLE_GERMAN, title);
    lastLoad = lastSearch.read;
    return lastSearch.record;
}

bool DvdLibrary::searchStoppedAtBound() const { return lastSearch.stoppedAtBound; }

storage::StoreFile::Count DvdLibrary::copiesOf(const std::string& titleGerman) {
    return storage::StoreFile::countRecords(std::string(LIBRARY_FILE), LIBRARY_LINE, library_record::TITLE_GERMAN, titleGerman);
}

bool DvdLibrary::visitFileRecords(const storage::StoreFile::RecordVisitor& visit) {
    storage::DataFile data(std::string(LIBRARY_FILE), storage::DataFile::Purpose::Read);
    return data.isOpen() && storage::scanRecords(data, LIBRARY_LINE, visit).has_value();
}

int DvdLibrary::recordCount() const { return count; }
int DvdLibrary::unreadLineCount() const { return file.unreadLineCount(); }
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
