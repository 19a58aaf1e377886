// Any bytes as a data file: load must hold what fits, count the rest, touch
// no row at or beyond MAX_RECORDS, hold the records an independent read of the
// bytes finds, and a removal must leave out exactly the chosen record's line,
// found by its row or by a search through the file, refused only where the
// file less that line would read as other records than before less that one.
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
#include "storage/Csv.h"

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
    explicit TableReader(int columns, int recordsKept = MAX_RECORDS - 1)
        : reader(storage::CsvLayout{columns, false}, recordsKept,
                 [this, columns](std::size_t record, std::size_t column) -> std::string& {
                     if (record >= table.size()) table.resize(record + 1, std::vector<std::string>(columns));
                     return table[record][column];
                 }) {
        reader.onLineDone([this](std::size_t, const storage::CsvRecordReader::LineSpan& line) { lines.push_back(line); });
    }

    Rows table;
    std::vector<storage::CsvRecordReader::LineSpan> lines;
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

// Every record of the bytes, none left unkept.
Rows allRecords(std::string_view bytes, int columns) {
    TableReader reader(columns, static_cast<int>(bytes.size()) + 1);
    reader.reader.feed(bytes);
    reader.reader.finish();
    reader.table.resize(reader.reader.keptRecordCount(), std::vector<std::string>(columns));
    return reader.table;
}

long long recordsIn(std::string_view bytes, int columns) {
    TableReader reader(columns);
    reader.reader.feed(bytes);
    reader.reader.finish();
    return static_cast<long long>(reader.reader.keptRecordCount()) + reader.reader.recordsNotKept();
}

// `findOf(store, text)` looks through the file for the first record with
// that text in column `searched`: when given, the removal takes the record
// it found, not the loaded row.
template <typename Store, typename RowOf, typename FindOf>
void roundTrip(Store& store, const char* fileName, int columns, std::string_view bytes, RowOf rowOf,
               std::size_t searched, FindOf findOf) {
    writeFile(fileName, bytes);
    Rows first = loadRows(store, rowOf);

    TableReader independent(columns);
    independent.reader.feed(bytes);
    independent.reader.finish();
    const long long records = static_cast<long long>(independent.reader.keptRecordCount()) + independent.reader.recordsNotKept();
    require(static_cast<long long>(first.size()) + store.unreadLineCount() == records, "every record either held or counted");
    independent.table.resize(independent.reader.keptRecordCount(), std::vector<std::string>(columns));
    require(independent.table == first, "the store holds the records in file order");

    require(store.saveAll() == storage::SaveResult::Saved && readFile(fileName) == bytes, "a save with nothing removed leaves the file");
    if (first.empty()) return;
    std::size_t chosen = first.size() / 2;
    int removed = static_cast<int>(chosen);
    if (searched < static_cast<std::size_t>(columns)) {
        const std::string text = first[chosen][searched];
        for (chosen = 0; first[chosen][searched] != text;) ++chosen;
        store.clear();
        removed = findOf(store, text);
        require(removed == static_cast<int>(chosen), "a search finds the first record with the text");
    }
    const storage::CsvRecordReader::LineSpan line = independent.lines[chosen];
    require(recordsIn(bytes.substr(static_cast<std::size_t>(line.start), static_cast<std::size_t>(line.end - line.start)),
                      columns) == 1,
            "a record's line reads as one record");
    store.removeRecord(removed);
    const storage::SaveResult result = store.saveAll();
    const std::string saved = readFile(fileName);
    const std::string without = std::string(bytes.substr(0, static_cast<std::size_t>(line.start))) +
                                std::string(bytes.substr(static_cast<std::size_t>(line.end)));
    // Refused only where the file less that line would read as other records
    // (a lone CR before it joining the line end after it).
    Rows expected = allRecords(bytes, columns);
    expected.erase(expected.begin() + static_cast<std::ptrdiff_t>(chosen));
    if (allRecords(without, columns) != expected) {
        require(result == storage::SaveResult::Failed && saved == bytes, "a removal that would join lines is refused");
        return;
    }
    require(result == storage::SaveResult::Saved, "a removal that keeps the other records saves");
    require(saved == without, "exactly the record's line left out");
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
    // The library removes a loaded row, the register the record a search found.
    roundTrip(*library, "DVDBibliothek.csv", 4, bytes, libraryRow, 4, [](DvdLibrary&, const std::string&) { return -1; });
    roundTrip(*rentals, "DVDVerleih.csv", 3, bytes, rentalRow, 0,
              [](RentalRegister& store, const std::string& text) { return store.findFilmTitle(text); });
    return 0;
}
