#include "rental/RentalRegister.h"

#include <utility>

#include "rental/RentalRecord.h"
#include "storage/FileSystem.h"
#include "storage/RecordScan.h"

namespace {
constexpr std::string_view RENTAL_FILE = rental_record::FILE_NAME;
constexpr storage::CsvLayout RENTAL_LINE{rental_record::COLUMN_COUNT, rental_record::ENDS_WITH_SEPARATOR};
}  // namespace

RentalRegister::RentalRegister() : file(std::string(RENTAL_FILE), RENTAL_LINE) {}

std::array<storage::StoreColumn*, rental_record::COLUMN_COUNT> RentalRegister::columns() { return {&title, &surname, &firstName}; }

void RentalRegister::clear() {
    storage::emptyRows(columns(), 0, count);
    count = 0;
    file.forget();
    lastLoad = storage::StoreFile::LoadResult::Missing;
    lastSearch = {};
}

bool RentalRegister::load() {
    lastLoad = file.load(columns(), count);
    lastSearch.record = NOT_FOUND;
    return lastLoad == storage::StoreFile::LoadResult::Loaded;
}

bool RentalRegister::appendRecord() { return file.append(columns(), WORK_ROW); }

storage::SaveResult RentalRegister::saveAll() { return file.replace(); }

void RentalRegister::removeRecord(int row) {
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

int RentalRegister::findFilmTitle(const std::string& title) {
    lastSearch = file.findRecord(rental_record::FILM_TITLE, title);
    lastLoad = lastSearch.read;
    return lastSearch.record;
}

bool RentalRegister::searchStoppedAtBound() const { return lastSearch.stoppedAtBound; }

RentalRegister::Lendings RentalRegister::lendingsOf(const std::string& filmTitle) const {
    const storage::StoreFile::Count found = file.countRecords(rental_record::FILM_TITLE, filmTitle);
    Lendings lendings;
    lendings.read = found.read == storage::StoreFile::LoadResult::Loaded || found.read == storage::StoreFile::LoadResult::Missing;
    lendings.locked = found.read == storage::StoreFile::LoadResult::Locked;
    lendings.count = found.matches;
    if (found.matches > 0) {
        lendings.surname = found.firstMatch[rental_record::SURNAME];
        lendings.firstName = found.firstMatch[rental_record::FIRST_NAME];
    }
    return lendings;
}

storage::StoreFile::AppendResult RentalRegister::appendRecordIf(const std::function<bool(int lendingsOfTitle)>& allowed) {
    const std::string& filmTitle = title[WORK_ROW];
    return file.appendIf(columns(), WORK_ROW, [&](const storage::StoreFile::RecordScanner& fileNow) {
        int lendings = 0;
        fileNow([&](const std::vector<std::string>& fields) { lendings += fields[rental_record::FILM_TITLE] == filmTitle; });
        return allowed(lendings);
    });
}

bool RentalRegister::visitFileRecords(const storage::StoreFile::RecordVisitor& visit) {
    storage::DataFile data(std::string(RENTAL_FILE), storage::DataFile::Purpose::Read);
    return data.isOpen() && storage::scanRecords(data, RENTAL_LINE, visit).has_value();
}

int RentalRegister::recordCount() const { return count; }
int RentalRegister::unreadLineCount() const { return file.unreadLineCount(); }
bool RentalRegister::hasUncountedLines() const { return file.stoppedBeforeEnd(); }
bool RentalRegister::wasLocked() const { return lastLoad == storage::StoreFile::LoadResult::Locked; }

void RentalRegister::setFilmTitle(std::string text, int row) { title[row] = std::move(text); }
std::string RentalRegister::getFilmTitle(int row) const { return title[row]; }
void RentalRegister::setSurname(std::string text, int row) { surname[row] = std::move(text); }
std::string RentalRegister::getSurname(int row) const { return surname[row]; }
void RentalRegister::setFirstName(std::string text, int row) { firstName[row] = std::move(text); }
std::string RentalRegister::getFirstName(int row) const { return firstName[row]; }
