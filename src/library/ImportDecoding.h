#pragma once
#include <optional>
#include <string>
#include <string_view>

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
