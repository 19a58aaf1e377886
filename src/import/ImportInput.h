#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The records of a CSV file from another program, as RFC 4180 writes them:
// a field in double quotes may hold the separator, line ends and doubled
// quotes. Separators, quotes and line ends are the same bytes in every
// encoding read, so the raw bytes are split before they are decoded.
namespace import_file {

// The fields of one record as their bytes, quotes taken off, and the line of
// the file it starts on (the first line is 1); false stops the walk. Empty
// lines are no records.
using RecordVisitor = std::function<bool(const std::vector<std::string>& fields, long line)>;

// A quote that opened a field and was never closed: the record it stands
// in would run to the end of the file.
struct UnclosedQuote {
    long recordLine = 0;  // where that record starts
    long quoteLine = 0;   // where the quote opens
    long lastLine = 0;    // the file's last line with any byte on it
};

// Hands each record to `visit`, one at a time; a line ends at LF, CR LF or
// a lone CR outside quotes. A quote inside an unquoted field is an ordinary
// byte; bytes after a closing quote go on in the same field. A record whose
// quote is still open at the end of the file is not handed on but returned.
std::optional<UnclosedQuote> forEachRecord(std::string_view bytes, char separator, const RecordVisitor& visit);

// The line the byte at `offset` stands on, counted as forEachRecord counts.
long lineOfByte(std::string_view bytes, std::size_t offset);

// Comma, semicolon or tab: the one that splits the first line into more than
// one field and the next lines into as many; of several, the one giving most
// fields. Comma when none splits the first line.
char detectSeparator(std::string_view bytes);

// Whether the first line has the program's own shape: four fields split by
// commas and a comma after the last.
bool hasOwnFormat(std::string_view bytes);

}  // namespace import_file

// Bytes of a file from elsewhere turned into the code page 850 text the
// library holds.
namespace import_file {

// UTF-16 only by its byte-order mark, and read by turning it into UTF-8.
enum class Encoding { Utf8, Cp1252, Latin1, Cp850, Utf16Le, Utf16Be };

// The encoding a --zeichensatz name stands for (utf-8, cp1252, latin1,
// cp850, case ignored), or nothing for another name.
std::optional<Encoding> encodingNamed(std::string_view name);
// Its name in the report: as --zeichensatz names it; utf-16le, utf-16be.
std::string_view nameOf(Encoding encoding);

// Where the bytes stop being UTF-8: the offset of the first byte that is
// not, or npos.
std::size_t firstNonUtf8Byte(std::string_view bytes);

// A UTF-16 byte-order mark says UTF-16; valid UTF-8 (a byte-order mark
// allowed) is UTF-8; a file whose first line has the program's own shape is
// code page 850; anything else Windows-1252.
Encoding detectEncoding(std::string_view bytes);

// The bytes a UTF-8 byte-order mark takes at the start (0 or 3).
std::size_t byteOrderMarkLength(std::string_view bytes);

// UTF-16 text after its byte-order mark as UTF-8: a surrogate without its
// partner, or an odd last byte, becomes U+FFFD.
std::string utf16ToUtf8(std::string_view bytes, bool bigEndian);

// One field's bytes as code page 850: a character the code page lacks
// becomes its plain form, or nothing where it has none; control characters
// (a line end inside a quoted field) become a blank, as nothing typed can
// put them into a record.
std::string toCp850(std::string_view bytes, Encoding encoding);

// The code points of a field, for matching column names; malformed UTF-8
// bytes count as Windows-1252.
std::u32string toCodePoints(std::string_view bytes, Encoding encoding);

}  // namespace import_file
