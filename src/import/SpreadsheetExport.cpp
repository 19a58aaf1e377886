#include "import/SpreadsheetExport.h"

#include "console/Cp850.h"
#include "storage/Csv.h"

namespace spreadsheet {
namespace {

constexpr char SEPARATOR = ';';
constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";
constexpr std::string_view ROW_END = "\r\n";
// Quoted as RFC 4180 quotes: the separator, a quote or a line end inside.
constexpr std::string_view QUOTED_FOR = ";\"\r\n";

}  // namespace

std::string header(const storage::RecordTable& table) {
    std::string out(BYTE_ORDER_MARK);
    for (const storage::FieldSpec& field : table.fields) {
        if (&field != table.fields.data()) out += SEPARATOR;
        storage::appendCsvField(field.name, out, QUOTED_FOR);
    }
    return out += ROW_END;
}

void appendRow(std::span<const std::string> fields, std::string& out) {
    for (std::size_t index = 0; index < fields.size(); ++index) {
        if (index > 0) out += SEPARATOR;
        storage::appendCsvField(cp850::toUtf8(fields[index]), out, QUOTED_FOR);
    }
    out += ROW_END;
}

}  // namespace spreadsheet
