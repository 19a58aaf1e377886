#include "console/Cp850.h"

#include <algorithm>
#include <array>

namespace {

// Code points of bytes 128 to 255 in code page 850.
constexpr std::array<char32_t, 128> kUpperHalf = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,
};

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

}  // namespace

namespace cp850 {

char32_t toUnicode(unsigned char byte) {
    return byte < 128 ? static_cast<char32_t>(byte) : kUpperHalf[byte - 128];
}

char32_t displayGlyph(unsigned char byte) {
    if (byte < 32) return 0x2400 + byte;  // control pictures: visible, never a control
    if (byte == 127) return 0x2421;
    if (byte == 0xF0) return 0x2010;      // soft hyphen is invisible in some terminals
    return toUnicode(byte);
}

int fromUnicode(char32_t codePoint) {
    if (codePoint < 128) return static_cast<int>(codePoint);
    const auto found = std::find(kUpperHalf.begin(), kUpperHalf.end(), codePoint);
    if (found == kUpperHalf.end()) return -1;
    return 128 + static_cast<int>(found - kUpperHalf.begin());
}

std::string toUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    for (unsigned char byte : bytes) appendUtf8(out, toUnicode(byte));
    return out;
}

void appendGlyphUtf8(std::string& out, unsigned char byte) { appendUtf8(out, displayGlyph(byte)); }

void appendGlyph(std::string& out, unsigned char byte, const GlyphTable* glyphs) {
    if (glyphs == nullptr)
        appendGlyphUtf8(out, byte);
    else
        out += (*glyphs)[byte];
}

std::string fromUtf8(std::string_view text) {
    std::string out;
    std::size_t index = 0;
    while (index < text.size()) {
        const auto lead = static_cast<unsigned char>(text[index]);
        const int continuationBytes = lead < 0x80 ? 0 : lead >= 0xC2 && lead < 0xE0 ? 1 : lead >= 0xE0 && lead < 0xF0 ? 2
                                                  : lead >= 0xF0 && lead < 0xF5     ? 3
                                                                                    : -1;
        char32_t codePoint = continuationBytes <= 0 ? lead : lead & (0x3F >> continuationBytes);
        int taken = 0;
        while (taken < continuationBytes && index + 1 + taken < text.size() &&
               (static_cast<unsigned char>(text[index + 1 + taken]) & 0xC0) == 0x80) {
            codePoint = codePoint << 6 | (static_cast<unsigned char>(text[index + 1 + taken]) & 0x3F);
            ++taken;
        }
        const int byte = continuationBytes < 0 || taken < continuationBytes ? -1 : fromUnicode(codePoint);
        out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
        index += 1 + static_cast<std::size_t>(taken);
    }
    return out;
}

}  // namespace cp850
