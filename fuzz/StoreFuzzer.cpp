// Any bytes as a data file: load must hold what fits, count the rest, touch
// no row at or beyond MAX_RECORDS, hold the records an independent read of the
// bytes finds, and a removal must leave out one range of bytes and nothing else.
//
// The fuzzer changes into a scratch directory before it reads its arguments:
// give corpus directories and -artifact_prefix as absolute paths.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <vector>

#include "FuzzSupport.h"
#include "library/DvdLibrary.h"
#include "rental/RentalRegister.h"
#include "storage/CsvRecordReader.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

using fuzzing::readFile;
using fuzzing::require;

void writeFile(const char* name, std::string_view bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> libraryRow(const DvdLibrary& store, int row) {
    return {store.getGenre(row), store.getTitleGerman(row), store.getTitleEnglish(row), store.getLengthMinutes(row)};
}

std::vector<std::string> rentalRow(const RentalRegister& store, int row) {
    return {store.getFilmTitle(row), store.getSurname(row), store.getFirstName(row)};
}

// Reads into a plain table, one row per kept record.
struct TableReader {
    explicit TableReader(int columns)
        : reader(storage::CsvLayout{columns, false}, MAX_RECORDS - 1,
                 [this, columns](std::size_t record, std::size_t column) -> std::string& {
                     if (record >= table.size()) table.resize(record + 1, std::vector<std::string>(columns));
                     return table[record][column];
                 }) {}

    Rows table;
    storage::CsvRecordReader reader;
};

template <typename Store, typename RowOf>
Rows loadRows(Store& store, RowOf rowOf) {
    store.clear();
    require(store.load(), "load of an existing file");
    require(store.recordCount() >= 0 && store.recordCount() < MAX_RECORDS, "count within the store");
    Rows rows;
    for (int row = 0; row < store.recordCount(); ++row) rows.push_back(rowOf(store, row));
    for (const std::string& cell : rowOf(store, store.recordCount())) require(cell.empty(), "row after the records empty");
    for (const std::string& cell : rowOf(store, MAX_RECORDS - 1)) require(cell.empty(), "last row untouched");
    return rows;
}

template <typename Store, typename RowOf>
void roundTrip(Store& store, const char* fileName, int columns, std::string_view bytes, RowOf rowOf) {
    writeFile(fileName, bytes);
    Rows first = loadRows(store, rowOf);

    TableReader independent(columns);
    independent.reader.feed(bytes);
    independent.reader.finish();
    require(static_cast<long long>(first.size()) + store.unreadLineCount() ==
                static_cast<long long>(independent.reader.keptRecordCount()) + independent.reader.recordsNotKept(),
            "every record either held or counted");
    independent.table.resize(independent.reader.keptRecordCount(), std::vector<std::string>(columns));
    require(independent.table == first, "the store holds the records in file order");

    require(store.saveAll() == storage::SaveResult::Saved && readFile(fileName) == bytes, "a save with nothing removed leaves the file");
    if (first.empty()) return;
    // A removal leaves out one range of the file's bytes and keeps every other byte.
    const std::size_t chosen = first.size() / 2;
    store.removeRecord(static_cast<int>(chosen));
    require(store.saveAll() == storage::SaveResult::Saved, "removing a loaded record saves");
    const std::string saved = readFile(fileName);
    require(saved.size() < bytes.size(), "a removal shortens the file");
    std::size_t same = 0;
    while (same < saved.size() && saved[same] == bytes[same]) ++same;
    require(bytes.substr(same + bytes.size() - saved.size()) == std::string_view(saved).substr(same),
            "exactly one range of bytes left out");
    first.erase(first.begin() + static_cast<std::ptrdiff_t>(chosen));
    Rows again = loadRows(store, rowOf);
    // Lines the store could not hold before may now move up into it.
    require(again.size() >= first.size() && std::equal(first.begin(), first.end(), again.begin()),
            "the other records survive the removal");
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::enterScratchDirectory("dvd-store-fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static auto library = std::make_unique<DvdLibrary>();
    static auto rentals = std::make_unique<RentalRegister>();
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    roundTrip(*library, "DVDBibliothek.csv", 4, bytes, libraryRow);
    roundTrip(*rentals, "DVDVerleih.csv", 3, bytes, rentalRow);
    return 0;
}
