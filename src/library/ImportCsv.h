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
