#pragma once
#include <string>

// What a typed character gives the program, whichever keyboard it came from
// (terminal bytes, Windows console events).
namespace keys {

// The key codes (console/Keys.h) of one typed character: Enter for CR and
// LF, Backspace for BS and DEL, the code page 850 byte of a character the
// code page has, its plain form as one key a character where it lacks it,
// and nothing where there is neither.
std::string codesForTypedCharacter(char32_t codePoint);

}  // namespace keys
