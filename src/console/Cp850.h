#pragma once
#include <array>
#include <string>
#include <string_view>

// Code page 850, the byte encoding of every text the system holds. Only the
// edges (terminal output, typed input, print jobs) see Unicode.
namespace cp850 {

char32_t toUnicode(unsigned char byte);
// What a screen cell shows: like toUnicode, but control bytes become visible
// symbols so that no text can drive the terminal.
char32_t displayGlyph(unsigned char byte);
// The byte for a code point, or -1 when code page 850 lacks it.
int fromUnicode(char32_t codePoint);

std::string toUtf8(std::string_view bytes);
void appendGlyphUtf8(std::string& out, unsigned char byte);
// The output's glyph for each byte, when its character set is not UTF-8.
using GlyphTable = std::array<std::string, 256>;
// A cell's glyph in the output's character set: UTF-8 when glyphs is nullptr.
void appendGlyph(std::string& out, unsigned char byte, const GlyphTable* glyphs);
// Text from outside (another program's messages) into code page 850: a
// character the code page lacks, or a malformed sequence, becomes '?'.
std::string fromUtf8(std::string_view text);

}  // namespace cp850

// The character set of text handed to other programs before any screen
// starts: lists on standard output, messages on standard error.
struct TextCharset {
    // UTF-8, or a set of one byte per character.
    bool utf8 = true;
    // A set of one byte per character: whether each byte is a character of it.
    std::array<bool, 256> holdsByte{};
    // How each code page 850 byte is written; nullptr for UTF-8.
    const cp850::GlyphTable* glyphs = nullptr;
};
