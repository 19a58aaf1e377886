#pragma once
#include <array>
#include <string>
#include <vector>

#include "library/ImportColumns.h"
#include "library/ImportDecoding.h"

// One line of a file from elsewhere taken as the new-DVD form takes typed
// values.
namespace import_file {

// The form's field lengths, in the program's order.
constexpr std::array<std::size_t, FIELD_COUNT> FIELD_LENGTHS{20, 30, 30, 3};

struct TakenRecord {
    std::array<std::string, FIELD_COUNT> values;  // code page 850, as stored
    std::string refusal;             // why the record is not taken; empty when it is
    std::vector<std::string> notes;  // values cut to their field
};

// Reads a running time as minutes: "142", "142 min", "142 Minuten" and
// "2:22" (hours and minutes) give "142"; anything else stays as it is.
std::string lengthAsMinutes(const std::string& text);

TakenRecord takeRecord(const std::vector<std::string>& fields, const ColumnMap& map, Encoding encoding);

}  // namespace import_file
