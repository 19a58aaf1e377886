#include "library/DvdLibrary.h"

#include <algorithm>
#include <utility>

using namespace library_record;

namespace {
constexpr storage::CsvLayout LIBRARY_LINE{COLUMN_COUNT, ENDS_WITH_SEPARATOR};
}  // namespace

DvdLibrary::DvdLibrary() : RecordStore(std::string(FILE_NAME), LIBRARY_LINE) {}

int DvdLibrary::findTitleGerman(const std::string& title) { return findRecord(TITLE_GERMAN, title); }

storage::StoreFile::Count DvdLibrary::copiesOf(const std::string& titleGerman) {
    return storage::StoreFile::countRecords(std::string(FILE_NAME), LIBRARY_LINE, TITLE_GERMAN, titleGerman);
}

int DvdLibrary::findRecordForEdit(const std::string& title) {
    cutValuesFound.clear();
    const int record = findTitleGerman(title);
    if (record == NOT_FOUND) return record;
    // The values of the first record of that title, read again; a file
    // changed in between is told by the replace.
    const storage::StoreFile::Count copies = file.countRecords(TITLE_GERMAN, title);
    if (copies.firstMatch.size() != COLUMN_COUNT) {
        lastSearch = storage::StoreFile::Search();
        lastSearch.read = copies.read;
        return NOT_FOUND;
    }
    for (std::size_t index = 0; index < copies.firstMatch.size(); ++index) {
        fields[index][WORK_ROW] = copies.firstMatch[index];
        if (copies.firstMatch[index].size() >= static_cast<std::size_t>(FIELD_BYTES_KEPT))
            cutValuesFound.push_back(copies.firstMatch[index]);
    }
    return record;
}

storage::SaveResult DvdLibrary::replaceRecord(int record) {
    if (record != lastSearch.record) return storage::SaveResult::Failed;
    // A value kept as it was shown must not be written shorter than it is.
    for (const storage::StoreColumn& column : fields)
        if (std::find(cutValuesFound.begin(), cutValuesFound.end(), column[WORK_ROW]) != cutValuesFound.end())
            return storage::SaveResult::Failed;
    file.replaceLine(lastSearch.line, columns(), WORK_ROW);
    return file.replace();
}

storage::StoreFile::LoadResult DvdLibrary::visitFileRecords(const storage::StoreFile::RecordVisitor& visit) {
    return RecordStore::visitFileRecords(std::string(FILE_NAME), LIBRARY_LINE, visit);
}

void DvdLibrary::setGenre(std::string text, int row) { fields[GENRE][row] = std::move(text); }
std::string DvdLibrary::getGenre(int row) const { return fields[GENRE][row]; }
void DvdLibrary::setTitleGerman(std::string text, int row) { fields[TITLE_GERMAN][row] = std::move(text); }
std::string DvdLibrary::getTitleGerman(int row) const { return fields[TITLE_GERMAN][row]; }
void DvdLibrary::setTitleEnglish(std::string text, int row) { fields[TITLE_ENGLISH][row] = std::move(text); }
std::string DvdLibrary::getTitleEnglish(int row) const { return fields[TITLE_ENGLISH][row]; }
void DvdLibrary::setLengthMinutes(std::string text, int row) { fields[LENGTH_MINUTES][row] = std::move(text); }
std::string DvdLibrary::getLengthMinutes(int row) const { return fields[LENGTH_MINUTES][row]; }
