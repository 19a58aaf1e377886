// Any bytes as a data file: load must hold what fits, count the rest, touch
// no row at or beyond MAX_RECORDS, and a load - saveAll - load round trip
// must give the same records, as an independent read of the bytes finds them.
//
// The fuzzer changes into a scratch directory before it reads its arguments:
// give corpus directories and -artifact_prefix as absolute paths.
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

    if (!store.isComplete()) {
        require(!store.saveAll(), "an incomplete store refuses to save");
        require(readFile(fileName) == bytes, "a refused save leaves the file");
        return;
    }
    require(store.saveAll(), "save of a complete, unchanged store");
    std::string saved = readFile(fileName);
    require(loadRows(store, rowOf) == first, "records survive load - save - load");
    require(store.saveAll() && readFile(fileName) == saved, "saving again writes the same bytes");
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
