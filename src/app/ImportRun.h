#pragma once
#include <string>

#include "app/CommandLine.h"
#include "console/TextCharset.h"

// --import: adds the DVDs of a CSV file to the library file of the working
// directory all at once (or, --probelauf, only says what it would add).

// Reads the file to import as the command line names it ("-": standard
// input), at most as much as a data file is read; false, having said why on
// standard error, when it cannot. Before -C: the name counts from where the
// program was started.
bool readImportFile(const command_line::Request::ImportOptions& options, const TextCharset& charset, std::string& bytes);

// Imports the bytes read. The counts and the encoding read (and, on a dry
// run, the first records) go to standard output; every line refused, cut or
// skipped as a duplicate, with its number, to standard error. 0 when the
// import was written or the dry run done; 1 when nothing could be written.
int runImport(std::string bytes, const command_line::Request::ImportOptions& options, const TextCharset& charset);
