#pragma once
#include <string>
#include <string_view>

#include "console/TextCharset.h"

// An argument as an error message may echo it: control characters (C0, DEL,
// C1; in a set of one byte per character the bytes 0x80 to 0x9F) and bytes
// that are no character of the set as \xHH, a backslash as \\, so that no
// argument can drive the terminal the message lands on.
std::string shownArgument(std::string_view argument, const TextCharset& charset);
