#include "rental/RentalRegister.h"

#include <utility>

using namespace rental_record;

RentalRegister::RentalRegister() : RecordStore(TABLE) {}

int RentalRegister::findFilmTitle(const std::string& title) { return findRecord(FILM_TITLE, title); }

RentalRegister::Lendings RentalRegister::lendingsOf(const std::string& filmTitle) const {
    const storage::StoreFile::Count found = file.countRecords(FILM_TITLE, filmTitle);
    Lendings lendings;
    lendings.read = found.read;
    lendings.count = found.matches;
    if (found.matches > 0) {
        lendings.surname = found.firstMatch[SURNAME];
        lendings.firstName = found.firstMatch[FIRST_NAME];
    }
    return lendings;
}

storage::AppendResult RentalRegister::appendRecordIf(const std::function<bool(int lendingsOfTitle)>& allowed) {
    const std::string& filmTitle = fields[FILM_TITLE][WORK_ROW];
    return file.append(columns(), WORK_ROW, [&](const storage::RecordScanner& fileNow) {
        int lendings = 0;
        fileNow([&](const std::vector<std::string>& record) { lendings += record[FILM_TITLE] == filmTitle; });
        return allowed(lendings);
    });
}

void RentalRegister::setFilmTitle(std::string text, int row) { fields[FILM_TITLE][row] = std::move(text); }
std::string RentalRegister::getFilmTitle(int row) const { return fields[FILM_TITLE][row]; }
void RentalRegister::setSurname(std::string text, int row) { fields[SURNAME][row] = std::move(text); }
std::string RentalRegister::getSurname(int row) const { return fields[SURNAME][row]; }
void RentalRegister::setFirstName(std::string text, int row) { fields[FIRST_NAME][row] = std::move(text); }
std::string RentalRegister::getFirstName(int row) const { return fields[FIRST_NAME][row]; }
