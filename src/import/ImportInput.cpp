#include "import/ImportInput.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "console/Cp850.h"
#include "console/PlainForm.h"
#include "library/LibraryRecord.h"

namespace import_file {
namespace {

// Lines looked at to choose the separator.
constexpr std::size_t LINES_COMPARED = 5;
// Looked at to choose it, up to the last line end in it: a file of empty
// lines is not walked through again and again.
constexpr std::size_t BYTES_COMPARED = 64 * 1024;

std::string_view sample(std::string_view bytes) {
    if (bytes.size() <= BYTES_COMPARED) return bytes;
    const std::size_t lastLineEnd = bytes.substr(0, BYTES_COMPARED).find_last_of("\r\n");
    return bytes.substr(0, lastLineEnd == std::string_view::npos ? BYTES_COMPARED : lastLineEnd + 1);
}

}  // namespace

std::optional<UnclosedQuote> forEachRecord(std::string_view bytes, char separator, const RecordVisitor& visit) {
    std::vector<std::string> fields(1);
    long line = 1;
    long recordLine = 1;
    long quoteLine = 1;
    long lastLine = 0;
    bool inQuotes = false;
    bool fieldQuoted = false;  // the field began with a quote (which is not kept)
    bool lineHasBytes = false;
    const auto endRecord = [&] {
        const bool goOn = !lineHasBytes || visit(fields, recordLine);
        fields.assign(1, std::string());
        lineHasBytes = false;
        fieldQuoted = false;
        return goOn;
    };
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const char byte = bytes[at];
        const bool lineEnd = byte == '\n' || byte == '\r';
        if (!lineEnd) lastLine = line;
        if (!lineHasBytes && !lineEnd) recordLine = line;
        if (inQuotes) {
            if (byte == '"' && at + 1 < bytes.size() && bytes[at + 1] == '"') {
                fields.back() += '"';
                ++at;
            } else if (byte == '"') {
                inQuotes = false;
            } else {
                if (byte == '\n' || (byte == '\r' && (at + 1 >= bytes.size() || bytes[at + 1] != '\n'))) ++line;
                fields.back() += byte;
            }
            continue;
        }
        if (lineEnd) {
            if (byte == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') ++at;
            ++line;
            if (!endRecord()) return std::nullopt;
            continue;
        }
        lineHasBytes = true;
        if (byte == separator) {
            fields.emplace_back();
            fieldQuoted = false;
        } else if (byte == '"' && fields.back().empty() && !fieldQuoted) {
            inQuotes = fieldQuoted = true;
            quoteLine = line;
        } else {
            fields.back() += byte;
        }
    }
    if (inQuotes) return UnclosedQuote{recordLine, quoteLine, lastLine};
    endRecord();
    return std::nullopt;
}

long lineOfByte(std::string_view bytes, std::size_t offset) {
    long line = 1;
    for (std::size_t at = 0; at < offset && at < bytes.size(); ++at) {
        // CR LF is one line end, counted at its LF.
        if (bytes[at] == '\n' || (bytes[at] == '\r' && (at + 1 >= bytes.size() || bytes[at + 1] != '\n'))) ++line;
    }
    return line;
}

char detectSeparator(std::string_view bytes) {
    bytes = sample(bytes);
    char best = ',';
    std::size_t bestFields = 1;
    for (const char separator : {',', ';', '\t'}) {
        std::vector<std::size_t> counts;
        forEachRecord(bytes, separator, [&](const std::vector<std::string>& fields, long) {
            counts.push_back(fields.size());
            return counts.size() < LINES_COMPARED;
        });
        if (counts.empty() || counts[0] <= bestFields) continue;
        bool same = true;
        for (const std::size_t count : counts) same = same && count == counts[0];
        if (same) {
            best = separator;
            bestFields = counts[0];
        }
    }
    if (bestFields > 1) return best;
    // None splits every line alike: the one that splits the first line most.
    for (const char separator : {',', ';', '\t'}) {
        std::size_t first = 0;
        forEachRecord(bytes, separator, [&](const std::vector<std::string>& fields, long) {
            first = fields.size();
            return false;
        });
        if (first > bestFields) {
            best = separator;
            bestFields = first;
        }
    }
    return best;
}

bool hasOwnFormat(std::string_view bytes) {
    bytes = sample(bytes);
    bool own = false;
    forEachRecord(bytes, ',', [&](const std::vector<std::string>& fields, long) {
        // Four fields and a separator, or every field and a separator.
        own = (fields.size() == library_record::PLAIN_COLUMN_COUNT + 1 || fields.size() == library_record::COLUMN_COUNT + 1) &&
              fields.back().empty();
        return false;
    });
    return own;
}

namespace {

// Windows-1252 bytes 0x80 to 0x9F; 0 where the code page leaves a byte unused.
constexpr char32_t NO_CHARACTER = 0xFFFD;
constexpr std::array<char32_t, 32> CP1252_LOW = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

// Length of the UTF-8 sequence at `at` and its code point; 0 when malformed
// (overlong forms, surrogates and code points past U+10FFFF included).
std::size_t utf8Sequence(std::string_view bytes, std::size_t at, char32_t& codePoint) {
    const auto byte = [&](std::size_t index) { return static_cast<unsigned char>(bytes[index]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (lead > 0xF4 || length == 0 || at + length > bytes.size()) return 0;
    char32_t value = lead & (0x7F >> length);
    for (std::size_t index = 1; index < length; ++index) {
        if ((byte(at + index) & 0xC0) != 0x80) return 0;
        value = (value << 6) | (byte(at + index) & 0x3F);
    }
    constexpr char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < smallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    codePoint = value;
    return length;
}

void appendUtf8(std::string& text, char32_t codePoint) {
    if (codePoint < 0x80) {
        text += static_cast<char>(codePoint);
        return;
    }
    const std::size_t length = codePoint < 0x800 ? 2 : codePoint < 0x10000 ? 3 : 4;
    constexpr unsigned char LEADS[] = {0, 0, 0xC0, 0xE0, 0xF0};
    text += static_cast<char>(LEADS[length] | (codePoint >> (6 * (length - 1))));
    for (std::size_t index = length - 1; index-- > 0;) text += static_cast<char>(0x80 | ((codePoint >> (6 * index)) & 0x3F));
}

char32_t singleByteCodePoint(unsigned char byte, Encoding encoding) {
    switch (encoding) {
    case Encoding::Cp850: return cp850::toUnicode(byte);
    case Encoding::Cp1252:
        if (byte >= 0x80 && byte < 0xA0) return CP1252_LOW[byte - 0x80] ? CP1252_LOW[byte - 0x80] : NO_CHARACTER;
        return byte;
    default: return byte;  // Latin-1: the byte is the code point
    }
}

}  // namespace

std::optional<Encoding> encodingNamed(std::string_view name) {
    std::string folded(name);
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char byte) { return static_cast<char>(std::tolower(byte)); });
    if (folded == "utf-8") return Encoding::Utf8;
    if (folded == "cp1252") return Encoding::Cp1252;
    if (folded == "latin1") return Encoding::Latin1;
    if (folded == "cp850") return Encoding::Cp850;
    return std::nullopt;
}

std::string_view nameOf(Encoding encoding) {
    constexpr std::string_view NAMES[] = {"utf-8", "cp1252", "latin1", "cp850", "utf-16le", "utf-16be"};
    return NAMES[static_cast<std::size_t>(encoding)];
}

std::size_t firstNonUtf8Byte(std::string_view bytes) {
    char32_t codePoint = 0;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = utf8Sequence(bytes, at, codePoint);
        if (length == 0) return at;
        at += length;
    }
    return std::string_view::npos;
}

std::size_t byteOrderMarkLength(std::string_view bytes) { return bytes.starts_with("\xEF\xBB\xBF") ? 3 : 0; }

Encoding detectEncoding(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) return Encoding::Utf16Le;
    if (bytes.starts_with("\xFE\xFF")) return Encoding::Utf16Be;
    if (firstNonUtf8Byte(bytes) == std::string_view::npos) return Encoding::Utf8;
    return hasOwnFormat(bytes) ? Encoding::Cp850 : Encoding::Cp1252;
}

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    const auto unitAt = [&](std::size_t at) -> char32_t {
        const auto first = static_cast<unsigned char>(bytes[at]), second = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? (first << 8) | second : (second << 8) | first;
    };
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size(); at += 2) {
        char32_t codePoint = at + 1 < bytes.size() ? unitAt(at) : NO_CHARACTER;
        const bool high = codePoint >= 0xD800 && codePoint < 0xDC00;
        const char32_t next = at + 3 < bytes.size() ? unitAt(at + 2) : 0;
        if (high && next >= 0xDC00 && next < 0xE000) {
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (next - 0xDC00);
            at += 2;
        } else if (codePoint >= 0xD800 && codePoint < 0xE000) {
            codePoint = NO_CHARACTER;
        }
        appendUtf8(text, codePoint);
    }
    return text;
}

std::u32string toCodePoints(std::string_view bytes, Encoding encoding) {
    std::u32string codePoints;
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t codePoint = 0;
        std::size_t length = encoding == Encoding::Utf8 ? utf8Sequence(bytes, at, codePoint) : 0;
        if (length == 0) {
            const auto byte = static_cast<unsigned char>(bytes[at]);
            codePoint = singleByteCodePoint(byte, encoding == Encoding::Utf8 ? Encoding::Cp1252 : encoding);
            length = 1;
        }
        codePoints += codePoint;
        at += length;
    }
    return codePoints;
}

std::string toCp850(std::string_view bytes, Encoding encoding) {
    std::string text;
    text.reserve(bytes.size());
    for (const char32_t codePoint : toCodePoints(bytes, encoding)) {
        if (codePoint < 0x20 || codePoint == 0x7F) text += ' ';
        else if (codePoint < 0x80) text += static_cast<char>(codePoint);
        else text += cp850::cp850ForCodePoint(codePoint);
    }
    return text;
}

}  // namespace import_file
