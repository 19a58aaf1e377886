#pragma once
#include <string>

#include "app/CommandLine.h"
#include "console/TextCharset.h"

// Loads the list's file from the working directory and writes the list to
// standard output in the charset (--liste): the title line, the column
// heads, the records in columns as wide as their widest value and two
// blanks apart, trailing blanks cut, the count line, and the screen list's
// notice when the file holds more than it shows. The exit status; a locked
// or unreadable file is said on standard error, a reader that has gone ends
// it silently.
int writeListText(command_line::ListKind kind, const TextCharset& charset);

struct PrintedList;

// The list as --liste lays it out (columns as wide as their widest value),
// in the output's charset.
std::string listText(const PrintedList& list, const TextCharset& charset);
// Code page 850 text in the output's charset, each byte as the screen shows it.
std::string textInCharset(const std::string& cp850Text, const TextCharset& charset);
