#pragma once
#include <span>
#include <string>
#include <string_view>

#include "storage/RecordTable.h"

// A data file's records as a spreadsheet opens them, and as the import
// reads them back: UTF-8 with a byte-order mark, ';' between fields, the
// field names as the first row, a field holding ';', '"' or a line end in
// quotes (inner quotes doubled, as RFC 4180 writes them), CR LF after
// every row.
namespace spreadsheet {

// The byte-order mark and the row of the table's field names.
std::string header(const storage::RecordTable& table);

// Appends one record's fields (code page 850) as a row.
void appendRow(std::span<const std::string> fields, std::string& out);

}  // namespace spreadsheet
