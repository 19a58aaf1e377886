#pragma once
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
