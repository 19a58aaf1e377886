#pragma once
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "app/ListView.h"
#include "console/Cp850.h"
#include "platform/Platform.h"

// A column on paper: as wide as the longest value the program writes into
// that field, so that every such value prints whole.
struct PrintColumn {
    std::string_view label;
    int width;
    bool alignRight = false;  // numbers; the head then ends where the values end
};

// A list as it goes to the printer.
struct PrintedList {
    std::string_view name;  // "DVD - Liste"; also the job's title
    std::vector<PrintColumn> columns;
    int recordCount = 0;
    FileNotice file;  // what the store could not read
    std::function<std::string(int record, int columnIndex)> value;
    std::string_view oneRecord;      // "DVD": the count line's noun for one record
    std::string_view manyRecords;    // "DVDs"
};

// Lines of a page, form feed excluded: 60 lines at seven lines per inch fit
// A4 and Letter inside 12 mm margins.
constexpr int PRINT_PAGE_LINES = 60;

// The pages as UTF-8 text. Every page starts with the title line (name, date
// dd.mm.yyyy, "Seite N" at the right edge), a blank line, the column heads
// and a blank line; pages after the first begin with a form feed. Columns
// stand one blank apart from column 0. A value longer than its column goes on
// in the same column on the lines below, broken after a blank where one is,
// so nothing is cut; a record stays on one page where it fits one. The last
// page ends with a blank line, the notice of records not read, and the count
// line ("130 DVDs"). Control bytes in values print as visible symbols, so no
// value can move the paper.
std::string formatPrintout(const PrintedList& list, platform::CalendarDate date);

// The count line of a list: "1 DVD", "130 DVDs".
std::string countLine(const PrintedList& list);

struct PrintedList;

// The list as --liste lays it out (columns as wide as their widest value),
// in the output's charset.
std::string listText(const PrintedList& list, const TextCharset& charset);
// Code page 850 text in the output's charset, each byte as the screen shows it.
std::string textInCharset(const std::string& cp850Text, const TextCharset& charset);
