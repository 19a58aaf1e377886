#include "library/DvdLibrary.h"

#include <optional>
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

storage::SaveResult DvdLibrary::replaceRecord(int record, const std::vector<bool>& typedColumns) {
    const storage::StoreFile::Match* found = lastSearch.matchOf(record);
    if (found == nullptr) return storage::SaveResult::Failed;
    std::vector<std::optional<std::string>> values(COLUMN_COUNT);
    for (std::size_t column = 0; column < values.size() && column < typedColumns.size(); ++column)
        if (typedColumns[column]) values[column] = fields[column][WORK_ROW];
    file.replaceFields(*found, values);
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
