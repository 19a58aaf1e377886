#include "import/SpreadsheetExport.h"

#include "console/Cp850.h"

namespace spreadsheet {
namespace {

constexpr char SEPARATOR = ';';
constexpr std::string_view BYTE_ORDER_MARK = "\xEF\xBB\xBF";
constexpr std::string_view ROW_END = "\r\n";

void appendField(std::string_view utf8, std::string& out) {
    if (utf8.find_first_of(";\"\r\n") == std::string_view::npos) {
        out += utf8;
        return;
    }
    out += '"';
    for (const char byte : utf8) {
        if (byte == '"') out += '"';
        out += byte;
    }
    out += '"';
}

}  // namespace

std::string header(const storage::RecordTable& table) {
    std::string out(BYTE_ORDER_MARK);
    for (const storage::FieldSpec& field : table.fields) {
        if (&field != table.fields.data()) out += SEPARATOR;
        appendField(field.name, out);
    }
    return out += ROW_END;
}

void appendRow(std::span<const std::string> fields, std::string& out) {
    for (std::size_t index = 0; index < fields.size(); ++index) {
        if (index > 0) out += SEPARATOR;
        appendField(cp850::toUtf8(fields[index]), out);
    }
    out += ROW_END;
}

}  // namespace spreadsheet
