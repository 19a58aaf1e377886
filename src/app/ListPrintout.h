#pragma once
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "app/ListView.h"
#include "console/Platform.h"

// A list as it goes to the printer: the screen list's columns, on pages.
struct PrintedList {
    std::string_view name;  // "DVD - Liste"; also the job's title
    std::span<const ListColumn> columns;
    int recordCount = 0;
    int unprintedCount = 0;  // records of the file that the store could not hold
    std::function<std::string(int record, int columnIndex)> value;
};

// Lines of a page, form feed excluded: a page must fit a sheet at the text
// filters' usual six lines per inch.
constexpr int PRINT_PAGE_LINES = 60;

// The pages as UTF-8 text. Every page starts with the title line (name, date
// dd.mm.yyyy, "Seite N"), the column heads and a blank line; pages after the
// first begin with a form feed. Each value is cut to its column, keeping a
// blank before the next one; control bytes in values print as visible
// symbols, so no value can move the paper.
std::string formatPrintout(const PrintedList& list, platform::CalendarDate date);
