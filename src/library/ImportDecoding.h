#pragma once
#include <optional>
#include <string>
#include <string_view>

// Bytes of a file from elsewhere turned into the code page 850 text the
// library holds.
namespace import_file {

enum class Encoding { Utf8, Cp1252, Latin1, Cp850 };

// The encoding a --zeichensatz name stands for (utf-8, cp1252, latin1,
// cp850, case ignored), or nothing for another name.
std::optional<Encoding> encodingNamed(std::string_view name);

bool isValidUtf8(std::string_view bytes);

// Valid UTF-8 (a byte-order mark allowed) is UTF-8; a file whose first line
// has the program's own shape is code page 850; anything else Windows-1252.
Encoding detectEncoding(std::string_view bytes);

// The bytes a UTF-8 byte-order mark takes at the start (0 or 3).
std::size_t byteOrderMarkLength(std::string_view bytes);

// One field's bytes as code page 850: a character the code page lacks
// becomes its plain form, or nothing where it has none; control characters
// (a line end inside a quoted field) become a blank, as nothing typed can
// put them into a record.
std::string toCp850(std::string_view bytes, Encoding encoding);

// The code points of a field, for matching column names; malformed UTF-8
// bytes count as Windows-1252.
std::u32string toCodePoints(std::string_view bytes, Encoding encoding);

}  // namespace import_file
