#pragma once
#include <span>
#include <string>

#include "app/ListPrintout.h"
#include "app/ListView.h"

class DvdLibrary;

// The columns of the library list and of the search results.
std::span<const ListColumn> libraryColumns();
std::string libraryColumnValue(const DvdLibrary& library, int record, int columnIndex);
// The list as printed: the records library holds, in these columns.
PrintedList libraryPrintout(const DvdLibrary& library);
