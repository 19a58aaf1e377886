#pragma once
#include <array>

#include "console/Cp850.h"

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
