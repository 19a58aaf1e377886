#pragma once
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/FileNotice.h"
#include "app/ListOrder.h"

class ConsoleScreen;

// What the library list, the rental list and the search results share:
// labels on row 7, one record per row from row 10 on, however long the list,
// and the wait below it.

constexpr int LIST_FIRST_RECORD_ROW = 10;
// Where a list says that its file was locked (or holds more than it shows).
constexpr int LIST_NOTICE_ROW = 8;
constexpr int LIST_NOTICE_COLUMN = 2;

struct ListColumn {
    const char* label;
    int column;
    SortAs sortAs = SortAs::Unsorted;  // whether 's' orders the list by it
};

struct ListContent {
    std::function<void()> drawHeading;
    std::span<const ListColumn> columns;
    int recordCount = 0;
    FileNotice notice;
    std::function<std::string(int record, int columnIndex)> value;
    // When set: the records it picks are drawn in light red.
    std::function<bool(int record)> highlighted = {};
    // When set: a line one row below the records shown, about them.
    std::function<std::string(const std::vector<int>& shownRecords)> lineBelow = {};
};

// The filter line of a list, typed after '/': only records holding the text
// in a column are shown; and the order 's' chose. The caller keeps both
// where a list is shown again.
struct ListFilter {
    static constexpr int FILE_ORDER = -1;
    bool shown = false;
    std::string text;
    int sortedColumn = FILE_ORDER;  // index into the list's columns
};

// Draws the list, shown from its top.
void drawList(ConsoleScreen& screen, const ListContent& content);

// Draws the list, then waits: the cursor block scrolls (and pans a narrow
// window), '/' opens the filter, '@' draws again, Escape takes a filter away
// or, without one, leaves; 's' orders the list by its next sortable column
// and after the last back in file order; a key of endingKeys also ends the wait. Returns
// the key that ended it.
int runListScreen(ConsoleScreen& screen, const ListContent& content, ListFilter& filter,
                  std::string_view endingKeys = {});
