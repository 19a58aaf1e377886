// Any bytes as a file to import: reading it never fails, and every line it
// would add reads back from the library file as exactly one record of four
// values that the forms could have stored (each within what a field is read
// with, a German title, a length the form takes or none, a year and a
// barcode the form takes or none), with no byte the file cannot hold.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "import/ImportPlan.h"
#include "import/ImportRecord.h"
#include "library/DvdLibrary.h"
#include "storage/Csv.h"
#include "storage/StoreLimits.h"

namespace {

using fuzzing::require;
constexpr int NEXT_YEAR = 2027;

std::vector<std::vector<std::string>> readBack(std::string_view line) {
    std::vector<std::vector<std::string>> records;
    storage::CsvRecordReader reader(library_record::TABLE.line, 10, [&](std::size_t record, std::size_t column) -> std::string& {
        if (record >= records.size()) records.resize(record + 1, std::vector<std::string>(library_record::COLUMN_COUNT));
        return records[record][column];
    });
    reader.feed(line);
    reader.finish();
    records.resize(reader.keptRecordCount(), std::vector<std::string>(library_record::COLUMN_COUNT));
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const auto* rules = new DvdLibrary();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const import_file::ImportPlan plan = import_file::planImport(bytes, std::nullopt, NEXT_YEAR, {});
    for (const auto& entry : plan.newLines.entries) {
        const std::string_view line = plan.newLines.text(entry);
        require(line.ends_with(",\r\n"), "a line without the library's ending");
        const auto records = readBack(line);
        require(records.size() == 1, "a new line reads back as " + std::to_string(records.size()) + " records");
        const std::vector<std::string>& values = records[0];
        for (std::size_t field = 0; field < values.size(); ++field) {
            require(values[field].size() <= static_cast<std::size_t>(FIELD_BYTES_KEPT), "a value longer than a field is read");
            for (const char byte : values[field])
                require(static_cast<unsigned char>(byte) >= 0x20 && byte != 0x7F, "a control byte in a value");
        }
        require(!values[1].empty(), "a record without a German title");
        // A record without a running time is taken as it is, and counted.
        require(values[3].empty() || rules->isValidLength(values[3]), "a length the form refuses");
        require(DvdLibrary::isValidYear(values[library_record::YEAR], NEXT_YEAR), "a year the form refuses");
        require(DvdLibrary::isValidEan(values[library_record::EAN]), "a barcode the form refuses");
    }
    return 0;
}
