#pragma once
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "storage/Csv.h"

namespace storage {

// Copies a file's bytes, chunk by chunk, leaving out the lines of removed
// records, and checks as they pass that each range left out is one line and
// no more: line text without CR or LF, then its line end (an LF, CRs and an
// LF, a lone CR, or none at the end of the file). A range that holds another
// line end breaks the copy, which must then not take the file's place; so
// does one between a lone CR and an LF (or CRs and an LF), whose removal
// would join those into one line end and so lose a line.
//
// A removed line at the end of what was read (`readEnd`, or -1 when the read
// stopped before the file's end) that had no line end of its own, or ended
// in a lone CR, may have been followed by appended lines since: the line end
// that now follows it goes with it, so no empty line is left in its place.
class LineRemoval {
public:
    using LineSpan = CsvRecordReader::LineSpan;
    using Writer = std::function<bool(std::string_view)>;
    // A change inside a replaced line's text: its bytes [start, end) give
    // way to `text` (no CR or LF); an empty range inserts the text there.
    struct Splice {
        long long start = 0;
        long long end = 0;
        std::string text;
    };

    // The removed lines, in any order, none overlapping another.
    LineRemoval(std::vector<LineSpan> removedLines, long long readEnd);

    // The removed line starting at `lineStart` is a corrected one instead:
    // its splices (in the order of the line, none overlapping another) change
    // its text, and every other byte of it stays, its line end too. A text
    // left empty right after a lone CR would join two line ends: refused.
    void replaceText(long long lineStart, std::vector<Splice> splices);

    // The next chunk of the file; false when a write failed or the copy broke.
    bool copy(std::string_view chunk, const Writer& write);

    // The bytes left out before `offset` of the original file.
    long long removedBefore(long long offset) const;

private:
    enum class Shape { Text, CarriageReturns, Ended };
    enum class Owed { Nothing, LineEnd, NewlineAfterCarriageReturn };

    void checkRemovedByte(char byte);
    void finishRemovedLine(const LineSpan& line);
    // A byte after a removed line that owes its line end; true when left out.
    bool takesOwedByte(char byte);
    // The bytes of a replaced line in [at, end) of the chunk, spliced.
    bool copyReplacedLine(std::string_view chunk, long long chunkStart, long long& at, long long end,
                          const LineSpan& line, const std::vector<Splice>& splices, const Writer& write);
    bool writeReplacedText(std::string_view text, bool isText, const Writer& write);

    std::vector<LineSpan> ranges;  // by start; ends grow by owed line ends
    long long readEnd;
    std::size_t next = 0;
    long long bytesSeen = 0;
    Shape shape = Shape::Text;
    long long carriageReturns = 0;
    Owed owed = Owed::Nothing;
    char lastKeptByte = '\0';
    bool afterLoneCarriageReturn = false;
    bool broken = false;
    std::map<long long, std::vector<Splice>> replacements;  // by the start of the line replaced
    // Of the line being replaced:
    std::size_t nextSplice = 0;
    long long skippedUntil = 0;
    bool inLineEnd = false;
    bool textWritten = false;
    bool replacedAfterLoneCarriageReturn = false;
};

}  // namespace storage
