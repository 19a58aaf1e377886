#include "rental/RentalRegister.h"

#include <utility>

#include "storage/FileSystem.h"
#include "storage/RecordScan.h"

namespace {
constexpr const char* RENTAL_FILE = "DVDVerleih.csv";
// No separator after the first name.
constexpr storage::CsvLayout RENTAL_LINE{3, false};
}  // namespace

RentalRegister::RentalRegister() : file(RENTAL_FILE, RENTAL_LINE) {}

std::array<storage::StoreColumn*, 3> RentalRegister::columns() { return {&title, &surname, &firstName}; }

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
    lastSearch = file.findRecord(0, title);
    lastLoad = lastSearch.read;
    return lastSearch.record;
}

bool RentalRegister::searchStoppedAtBound() const { return lastSearch.stoppedAtBound; }

RentalRegister::Lendings RentalRegister::lendingsOf(const std::string& filmTitle) const {
    const storage::StoreFile::Count found = file.countRecords(0, filmTitle);
    Lendings lendings;
    lendings.read = found.read == storage::StoreFile::LoadResult::Loaded || found.read == storage::StoreFile::LoadResult::Missing;
    lendings.locked = found.read == storage::StoreFile::LoadResult::Locked;
    lendings.count = found.matches;
    if (found.matches > 0) {
        lendings.surname = found.firstMatch[1];
        lendings.firstName = found.firstMatch[2];
    }
    return lendings;
}

storage::StoreFile::AppendResult RentalRegister::appendRecordIf(const std::function<bool(int lendingsOfTitle)>& allowed) {
    const std::string& filmTitle = title[WORK_ROW];
    return file.appendIf(columns(), WORK_ROW, [&](const storage::StoreFile::RecordScanner& fileNow) {
        int lendings = 0;
        fileNow([&](const std::vector<std::string>& fields) { lendings += fields[0] == filmTitle; });
        return allowed(lendings);
    });
}

bool RentalRegister::visitFileRecords(const storage::StoreFile::RecordVisitor& visit) {
    storage::DataFile data(RENTAL_FILE, storage::DataFile::Purpose::Read);
    return data.isOpen() && storage::scanRecords(data, RENTAL_LINE, visit).has_value();
}

int RentalRegister::recordCount() const { return count; }
int RentalRegister::unreadLineCount() const { return file.unreadLineCount(); }
bool RentalRegister::isComplete() const { return file.unreadLineCount() == 0 && !file.stoppedBeforeEnd(); }
bool RentalRegister::hasUncountedLines() const { return file.stoppedBeforeEnd(); }
bool RentalRegister::wasLocked() const { return lastLoad == storage::StoreFile::LoadResult::Locked; }

void RentalRegister::setFilmTitle(std::string text, int row) { title[row] = std::move(text); }
std::string RentalRegister::getFilmTitle(int row) const { return title[row]; }
void RentalRegister::setSurname(std::string text, int row) { surname[row] = std::move(text); }
std::string RentalRegister::getSurname(int row) const { return surname[row]; }
void RentalRegister::setFirstName(std::string text, int row) { firstName[row] = std::move(text); }
std::string RentalRegister::getFirstName(int row) const { return firstName[row]; }
