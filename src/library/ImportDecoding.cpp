#include "library/ImportDecoding.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "console/Cp850.h"
#include "library/ImportCsv.h"

#include "console/PlainForm.h"

namespace import_file {
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
