#include "storage/CsvLineWriter.h"

namespace storage {
namespace {

bool needsQuotes(std::string_view field) {
    for (char byte : field) {
        if (byte == ',' || byte == '"') return true;
    }
    return false;
}

}  // namespace

void appendCsvField(std::string_view field, std::string& out) {
    if (!needsQuotes(field)) {
        out += field;
        return;
    }
    out += '"';
    for (char byte : field) {
        if (byte == '"') out += '"';
        out += byte;
    }
    out += '"';
}

void appendCsvLine(std::span<const std::string_view> fields, const CsvLayout& layout,
                   std::string& out) {
    std::size_t written = 0;
    for (std::string_view field : fields) {
        appendCsvField(field, out);
        ++written;
        if (written < fields.size() || layout.separatorAfterLastField) out += ',';
    }
    out += "\r\n";
}

}  // namespace storage
