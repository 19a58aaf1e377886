#pragma once
#include <array>
#include <string>

// The character set of the user's terminal, as the locale names it. Text
// inside the program is code page 850; this is where it meets the locale's
// set, in both directions. Tables are built once, so the edge costs one
// lookup per character; UTF-8 needs no iconv at all.
class LocaleCharset {
public:
    // The set that LC_ALL, LC_CTYPE or LANG names. UTF-8 when they name none
    // (C, POSIX) or a locale that is not installed: what terminals speak today.
    static const LocaleCharset& ofEnvironment();
    // A set by its iconv name, as nl_langinfo(CODESET) gives it.
    explicit LocaleCharset(const std::string& codeset);

    bool isUtf8() const { return utf8_; }
    // How a screen cell holding this code page 850 byte is written: its glyph
    // (control bytes as visible symbols), '?' when the set lacks it, and an
    // ASCII look-alike for the line and hyphen characters.
    const std::string& glyph(unsigned char cp850Byte) const { return glyphs_[cp850Byte]; }
    const std::array<std::string, 256>& glyphs() const { return glyphs_; }
    // For a set of one byte per character: the character each typed byte
    // stands for, 0 where none. Empty for UTF-8, whose input is decoded elsewhere.
    const std::array<char32_t, 256>& typedCharacters() const { return typedCharacters_; }

private:
    void buildGlyphs(const std::string& codeset);
    void buildTypedCharacters(const std::string& codeset);

    bool utf8_ = true;
    std::array<std::string, 256> glyphs_;
    std::array<char32_t, 256> typedCharacters_{};
};
