#pragma once
#include <string>

class ConsoleScreen;

namespace snapshot {

// The screen as readable text: one line per row (code page 850 shown as
// UTF-8, trailing blanks cut), each followed by a line of colours: one hex
// digit per cell giving its foreground, '.' for a blank cell on black.
std::string render(const ConsoleScreen& screen, int firstRow = 0, int rowCount = 49);

// Compares with tests/snapshots/<name>.txt; writes the file instead when the
// environment variable UPDATE_SNAPSHOTS is set or the file does not exist yet.
// Returns an empty string when equal, else a description of the difference.
std::string compare(const std::string& name, const std::string& actual);

// Text written from (row, column), as code page 850 bytes.
std::string textAt(const ConsoleScreen& screen, int row, int column, int length);

}  // namespace snapshot
