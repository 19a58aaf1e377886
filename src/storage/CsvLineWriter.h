#pragma once
#include <span>
#include <string>
#include <string_view>

#include "storage/CsvLayout.h"

namespace storage {

// Appends one record as a line ending in CR LF. A field holding a comma or a
// double quote is quoted (inner quotes doubled); every other field is written
// byte for byte, so files without such fields keep their old form exactly.
void appendCsvLine(std::span<const std::string_view> fields, const CsvLayout& layout,
                   std::string& out);

// Appends one field as appendCsvLine writes it.
void appendCsvField(std::string_view field, std::string& out);

}  // namespace storage
