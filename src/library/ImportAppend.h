#pragma once
#include <string>
#include <string_view>
#include <vector>

// The records an import takes, added to the library file in one append.
namespace import_file {

// The lines to add, each as the library file stores it (CR LF included),
// one after the other in `lines`.
struct NewLines {
    std::string lines;
    struct Line {
        std::size_t start = 0;
        std::size_t length = 0;
        long lineInFile = 0;  // where it stands in the imported file
    };
    std::vector<Line> entries;

    void add(std::string_view line, long lineInFile);
    std::string_view text(const Line& line) const { return std::string_view(lines).substr(line.start, line.length); }
};

struct AppendReport {
    enum class Status { Written, Locked, Failed } status = Status::Failed;
    std::vector<std::size_t> added;  // entries taken, in order
    long duplicates = 0;             // entries equal to a record of the library or an earlier entry
};

// Under the library file's append lock: looks through its records, leaves
// out the entries equal to one of them or to an earlier entry (unless
// `keepDuplicates`), and appends the others with one write, so that the file
// takes all of them or, on any failure, stays byte for byte as it was.
// `dryRun` only reads (a missing file is an empty library) and writes nothing.
AppendReport appendNewLines(const NewLines& newLines, bool keepDuplicates, bool dryRun);

}  // namespace import_file
