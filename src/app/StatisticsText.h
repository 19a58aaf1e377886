#pragma once
#include "console/TextCharset.h"

// --statistik: counts the DVDs of the library file and the lendings of the
// rental file in the working directory and writes the figures to standard
// output in columns, as --liste writes its lists. Exit status as --liste.
int writeStatistics(const TextCharset& charset);
