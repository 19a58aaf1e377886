#pragma once
#include <string>

#include "app/CommandLine.h"
#include "console/TextCharset.h"

// --import: adds the DVDs of a CSV file to the library file of the working
// directory in one append (or, --probelauf, only says what it would add).
// The counts and, on a dry run, the first records go to standard output;
// every line refused or cut, with its number, to standard error. 0 when the
// import was written or the dry run done; 1 when nothing could be written.
// `file`: options.file as seen from the directory the program started in.
int runImport(const std::string& file, const command_line::Request::ImportOptions& options, const TextCharset& charset);
