#pragma once
#include <string>

// Code page 850 for any Unicode character: what typed, pasted or imported
// text becomes, since the data files hold nothing else.
namespace cp850 {

// The code page 850 bytes for a code point: its one byte where the code page
// has the character, otherwise its usual plain form (a dash as "-", a
// typographic quote as '"' or '\'', "..." for an ellipsis, "EUR" for the euro
// sign, a Latin letter without its accent, "OE" for a ligature); empty when
// there is none. Every space becomes a blank, the non-breaking one too: it
// looks like a blank, and a title must be found again by typing what the
// screen shows.
std::string cp850ForCodePoint(char32_t codePoint);

}  // namespace cp850
