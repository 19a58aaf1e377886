#pragma once
#include <string>

class ConsoleScreen;

// Hands a data file of the working directory to the printing system. A
// missing file prints nothing, silently; a refused job is reported on the
// screen for 2500 ms.
void printDataFile(ConsoleScreen& screen, const std::string& fileName);
