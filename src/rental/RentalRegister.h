#pragma once
#include <array>
#include <functional>
#include <string>

#include "storage/StoreColumns.h"
#include "storage/StoreFile.h"
#include "storage/StoreLimits.h"

// The lendings in memory: three parallel columns of byte strings, a working
// copy of the rental file "DVDVerleih.csv" in the current directory. Rows 0
// to recordCount() - 1 hold the records in file order.
class RentalRegister {
public:
    RentalRegister();

    // The operations and count rules of DvdLibrary, on the rental file.
    void clear();
    bool load();
    bool appendRecord();
    storage::SaveResult saveAll();
    void removeRecord(int row);
    static constexpr int NOT_FOUND = storage::StoreFile::Search::NOT_FOUND;
    int findFilmTitle(const std::string& title);
    bool searchStoppedAtBound() const;
    // The lendings of exactly this title in the whole file (as far as a load
    // reads), and the names of the first.
    struct Lendings {
        bool read = false;    // false: the file could not be read (locked, or an error)
        bool locked = false;
        int count = 0;
        std::string surname;
        std::string firstName;
    };
    Lendings lendingsOf(const std::string& title) const;
    // Hands each record of the file (as far as a load reads) to `visit` as
    // its fields, one at a time, holding none; false when it cannot be read.
    static bool visitFileRecords(const storage::StoreFile::RecordVisitor& visit);
    // Appends WORK_ROW once `allowed`, handed the number of lendings of its
    // title in the file under the append's lock, says yes.
    storage::StoreFile::AppendResult appendRecordIf(const std::function<bool(int lendingsOfTitle)>& allowed);
    int recordCount() const;
    int unreadLineCount() const;
    bool hasUncountedLines() const;
    bool isComplete() const;
    bool wasLocked() const;

    void setFilmTitle(std::string text, int row);
    std::string getFilmTitle(int row) const;
    void setSurname(std::string text, int row);
    std::string getSurname(int row) const;
    void setFirstName(std::string text, int row);
    std::string getFirstName(int row) const;

private:
    std::array<storage::StoreColumn*, 3> columns();

    storage::StoreColumn title;
    storage::StoreColumn surname;
    storage::StoreColumn firstName;
    int count = 0;
    storage::StoreFile file;
    storage::StoreFile::LoadResult lastLoad = storage::StoreFile::LoadResult::Missing;
    storage::StoreFile::Search lastSearch;
};
