#pragma once
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "app/CommandLine.h"
#include "app/ListView.h"
#include "console/TextCharset.h"

// A list as plain text for scripts and pagers (--liste): the title line,
// the column heads, the records in columns as wide as their widest value
// and two blanks apart, the count line, and the screen list's notice when
// the file holds more than it shows. Code page 850, lines ending in '\n',
// trailing blanks cut.
struct ListTextSource {
    std::string_view title;
    std::span<const ListColumn> columns;
    int recordCount = 0;
    std::function<std::string(int record, int columnIndex)> value;
    std::string_view oneRecord;    // "DVD"
    std::string_view manyRecords;  // "DVDs"
    FileNotice notice;
};
std::string formatListText(const ListTextSource& list);

// Loads the list's file from the working directory and writes the list to
// standard output in the charset; the exit status. A locked or unreadable
// file is said on standard error; a reader that has gone ends it silently.
int writeListText(command_line::ListKind kind, const TextCharset& charset);
