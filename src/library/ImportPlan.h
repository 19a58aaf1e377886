#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/ImportAppend.h"
#include "library/ImportDecoding.h"

// What a file from elsewhere holds for the library: its records taken as
// the new-DVD form takes them, ready for one append.
namespace import_file {

struct LineProblem {
    long line = 0;
    std::string reason;  // code page 850
};

struct ImportPlan {
    Encoding encoding = Encoding::Utf8;
    bool encodingNamed = false;  // by --zeichensatz, not detected
    long firstLineNotUtf8 = 0;   // where the detection fell back from UTF-8; 0 when it did not
    char separator = ',';
    bool hasHeader = false;
    // Names as written in the header (code page 850): all, and those no field takes.
    std::vector<std::string> columns;
    std::vector<std::string> ignoredColumns;
    bool hasGermanTitle = true;  // false: the file was refused, nothing else is filled
    NewLines newLines;
    std::vector<LineProblem> refused;
    // The lines not taken: those of the refused records, and every line an
    // unclosed quote held up to the end of the file.
    long refusedLines = 0;
    std::vector<LineProblem> cut;
};

// Told the number of the line being read, now and then, for a progress line.
using ImportProgress = std::function<void(long line)>;

ImportPlan planImport(std::string_view bytes, std::optional<Encoding> encoding, const ImportProgress& progress);

}  // namespace import_file
