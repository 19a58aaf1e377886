#pragma once
#include <cstddef>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/RecordTable.h"

namespace storage {

// Splits the bytes of a data file into records, fed in chunks of any size.
//
// A line ends at an LF, at one or more CRs followed by an LF, or at a CR
// followed by anything else (old Mac files), wherever it stands. A comma
// separates fields; fields beyond the layout's column count are dropped; a
// line with fewer fields leaves the rest empty. A last line without a line
// end is a record too. A field that starts with '"' is a quoted field when
// its closing quote is followed by a comma, the line end or the end of the
// file; "" stands for one quote inside it. A quote that is not closed that way
// makes the rest of the line, from that field on, read plainly (commas split,
// quotes are ordinary), which is how files of the unquoted format always read.
// A line end always ends a record, so a stray quote cannot swallow later lines.
//
// A kept field holds at most fieldBytesKept bytes; the rest is skipped.
// Every byte is looked at a bounded number of times: the time is linear.
class CsvRecordReader {
public:
    // Where a record's line stands in the bytes fed, line end included.
    struct LineSpan {
        long long start = 0;
        long long end = 0;
    };

    // Told the line of each kept record once it has ended.
    using LineDone = std::function<void(std::size_t record, const LineSpan& line)>;

    // The text that the bytes of one field of a kept record are appended to.
    // Asked once per field that has bytes; never for records past the limit.
    using FieldTarget = std::function<std::string&(std::size_t record, std::size_t column)>;

    // Records past recordsToKeep are only counted, their bytes not held.
    CsvRecordReader(const CsvLayout& layout, int recordsToKeep, FieldTarget target,
                    std::size_t fieldBytesKept = static_cast<std::size_t>(-1));

    void onLineDone(LineDone done) { lineDone = std::move(done); }

    void feed(std::string_view bytes);
    // Call once after the last chunk of the whole file. (Not called when the
    // bytes stop early: a line cut off there is no record.)
    void finish();

    // Where each field of the line just ended stands in the bytes fed (its
    // bytes as they are, quotes included, no separator), as far as the
    // layout's column count: fewer for a line of fewer fields. Valid while
    // LineDone is told of the line. fieldsPlaced() is false when a field cut
    // on reading hid where it and the later ones end.
    const std::vector<LineSpan>& fieldsOfLine() const { return fieldSpans; }
    bool fieldsPlaced() const { return fieldSpansComplete; }

    std::size_t keptRecordCount() const { return keptCount; }
    long long recordsNotKept() const { return notKept; }

private:
    enum class FieldState { Start, Plain, Quoted, QuoteInQuoted };

    void takeByte(char byte);
    void takeLineEnd(long long textEnd, long long lineEnd);
    void endCarriageReturnLines();
    void startNextField();
    void startLine();
    void holdQuotedByte(char byte);
    void rereadQuotedFieldPlainly();
    bool keepsCurrentField() const { return keepingLine && field < columnCount; }
    void append(char byte);
    void appendRun(std::string_view run);

    std::size_t columnCount;
    std::size_t recordsToKeep;
    std::size_t fieldBytesKept;
    FieldTarget targetOf;
    LineDone lineDone;
    std::size_t keptCount = 0;
    long long notKept = 0;
    long long bytesFed = 0;  // before the chunk being fed
    long long lineStart = 0;
    long long bytePosition = 0;  // of the byte taken
    long long fieldStart = 0;
    std::vector<LineSpan> fieldSpans;
    bool fieldSpansComplete = true;

    bool keepingLine = false;
    std::size_t field = 0;
    std::string* fieldText = nullptr;  // asked for at the field's first byte
    std::size_t fieldTextStart = 0;    // its length before this field's bytes
    FieldState state = FieldState::Start;
    bool plainToLineEnd = false;
    // A run of CRs not yet known to end in an LF (one line end) or not (a
    // line end each), and where it started.
    long long pendingCarriageReturns = 0;
    long long carriageReturnsStart = 0;
    bool lineHasBytes = false;
    // The bytes of an open quoted field as they stand in the file, from its
    // opening quote on, in case it turns out not to be a quoted field; no
    // more than a kept field's worth (quotedBytesCut says when more came).
    std::string quotedFieldBytes;
    bool quotedBytesCut = false;
};

// Appends one record as a line ending in CR LF. A field holding a comma or a
// double quote is quoted (inner quotes doubled); every other field is written
// byte for byte, so files without such fields keep their old form exactly.
// Fields after the layout's plain ones are left out where all are empty.
void appendCsvLine(std::span<const std::string_view> fields, const CsvLayout& layout,
                   std::string& out);

// The bytes that put a field of the data files in quotes.
constexpr std::string_view CSV_QUOTED_FOR = ",\"";
// Appends one field as appendCsvLine writes it: in double quotes, each
// inner one doubled, where it holds a byte of `quotedFor` (another
// separator's file names its own).
void appendCsvField(std::string_view field, std::string& out, std::string_view quotedFor = CSV_QUOTED_FOR);

}  // namespace storage
