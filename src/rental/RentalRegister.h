#pragma once
#include <functional>
#include <string>

#include "rental/RentalRecord.h"
#include "storage/RecordStore.h"

// The lendings in memory: three parallel columns of byte strings, a working
// copy of the rental file "DVDVerleih.csv" in the current directory. Rows 0
// to recordCount() - 1 hold the records in file order. Loading, appending,
// removing and saving are the RecordStore's, as in DvdLibrary.
class RentalRegister : public storage::RecordStore {
public:
    RentalRegister();

    int findFilmTitle(const std::string& title);
    // The lendings of exactly this title in the whole file (as far as a load
    // reads), and the names of the first.
    struct Lendings {
        storage::FileRead read;
        int count = 0;
        std::string surname;
        std::string firstName;
    };
    Lendings lendingsOf(const std::string& title) const;
    // Appends WORK_ROW once `allowed`, handed the number of lendings of its
    // title in the file under the append's lock, says yes.
    storage::AppendResult appendRecordIf(const std::function<bool(int lendingsOfTitle)>& allowed);

    void setFilmTitle(std::string text, int row);
    std::string getFilmTitle(int row) const;
    void setSurname(std::string text, int row);
    std::string getSurname(int row) const;
    void setFirstName(std::string text, int row);
    std::string getFirstName(int row) const;
};
