#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "library/ImportColumns.h"
#include "library/ImportDecoding.h"
#include "library/LibraryRecord.h"

// One line of a file from elsewhere taken as the new-DVD form takes typed
// values.
namespace import_file {

// The form's field lengths, in the program's order.
constexpr std::array<std::size_t, FIELD_COUNT> FIELD_LENGTHS = [] {
    std::array<std::size_t, FIELD_COUNT> lengths{};
    for (std::size_t field = 0; field < FIELD_COUNT; ++field)
        lengths[field] = static_cast<std::size_t>(library_record::FIELDS[field].length);
    return lengths;
}();

struct TakenRecord {
    std::array<std::string, FIELD_COUNT> values;  // code page 850, as stored
    std::string refusal;             // why the record is not taken; empty when it is
    std::vector<std::string> notes;  // values cut to their field
    bool withoutLength = false;      // taken with an empty running time
};

// Reads a running time as a spreadsheet or a film site writes it into
// minutes: "2:22" and "2:22:00" (H:MM, H:MM:SS), "142,0" and "142.0", "142
// min", "2 Std. 22 Min." and "2h 22m" give "142". Anything else stays as
// it is, for the form's check; nothing for a colon that is neither H:MM nor
// H:MM:SS.
std::optional<std::string> lengthAsMinutes(const std::string& text);

TakenRecord takeRecord(const std::vector<std::string>& fields, const ColumnMap& map, Encoding encoding);

}  // namespace import_file
