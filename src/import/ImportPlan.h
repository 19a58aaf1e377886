#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/ImportInput.h"

// The records an import takes, added to the library file all at once.
namespace import_file {

// The lines to add, each as the library file stores it (CR LF included),
// one after the other in `lines`.
struct NewLines {
    std::string lines;
    struct Line {
        std::size_t start = 0;
        std::size_t length = 0;
        long lineInFile = 0;         // where it stands in the imported file
        bool withoutLength = false;  // its running time is empty
    };
    std::vector<Line> entries;

    void add(std::string_view line, long lineInFile, bool withoutLength);
    std::string_view text(const Line& line) const { return std::string_view(lines).substr(line.start, line.length); }
};

struct AppendReport {
    // Locked and Failed: nothing written; a dry run has still counted, as if
    // the library were empty.
    enum class Status { Written, Locked, Failed } status = Status::Failed;
    std::vector<std::size_t> added;  // entries taken, in order
    struct Duplicate {
        std::size_t entry = 0;
        long sameAsLine = 0;  // the earlier entry's line in the imported file; 0: a record of the library
        std::string record;   // the record it equals, as the file writes it (code page 850)
    };
    std::vector<Duplicate> duplicates;
};

// Under the library file's lock: leaves out the entries whose German and
// English titles equal, folded as the list filter folds them, those of a
// record of the library or of an earlier entry (unless `keepDuplicates`),
// and writes the file anew with the others after its lines, so that it
// holds all of them or, whatever happens, stays byte for byte as it was.
// `dryRun` only reads (a missing file is an empty library) and writes nothing.
AppendReport appendNewLines(const NewLines& newLines, bool keepDuplicates, bool dryRun);

}  // namespace import_file

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
    std::vector<LineProblem> notes;  // values left empty or cut, the record taken
};

// Told the number of the line being read, now and then, for a progress line.
using ImportProgress = std::function<void(long line)>;

// Years are checked against `nextYear`, as the form checks them.
ImportPlan planImport(std::string_view bytes, std::optional<Encoding> encoding, int nextYear,
                      const ImportProgress& progress);

}  // namespace import_file
