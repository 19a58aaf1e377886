#pragma once
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/RecordTable.h"

class ConsoleScreen;

// What a list says above its records about the file they come from.
struct FileNotice {
    bool locked = false;     // the file could not be read: someone holds its lock
    int unshownCount = 0;    // records of the file that the store could not hold
    bool uncounted = false;  // reading stopped early, so more may follow
    // Said in place of the above: what kept a file from being read whole
    // that the file's own notice would not name rightly.
    std::string_view instead = {};

    bool fileHoldsMore() const { return unshownCount > 0 || uncounted; }
};

// What the screen, the printout and the text list say when the file holds
// more than they show: "12 WEITERE EINTRAEGE DER DATEI NICHT <notDone>!",
// without the number where reading stopped early (it would understate the rest).
std::string fileHoldsMoreText(const FileNotice& notice, std::string_view notDone);

template <typename Store>
FileNotice fileNoticeOf(const Store& store) {
    return {store.wasLocked(), store.unreadLineCount(), store.hasUncountedLines()};
}

using storage::SortAs;

// The records 0..count-1 ordered by one column's values: text as in a German
// dictionary (case ignored, an umlaut as its base letter, ß as ss), titles
// so too but with a number in them by its value and a leading article ("Der",
// "The", ...) passed over, numbers by value with values that are no number
// after them; equal values stay in file order.
std::vector<int> orderedRecords(int count, SortAs how, const std::function<std::string(int record)>& value);

// What the library list, the rental list and the search results share:
// labels on row 7, one record per row from row 10 on, however long the list,
// and the wait below it.

constexpr int LIST_FIRST_RECORD_ROW = 10;
// Where a list says that its file was locked (or holds more than it shows).
constexpr int LIST_NOTICE_ROW = 8;
constexpr int LIST_NOTICE_COLUMN = 2;

struct ListColumn {
    std::string_view label;
    int column;  // where it starts at the earliest: the widest value before it may push it right
    SortAs sortAs = SortAs::Unsorted;  // whether 's' orders the list by it
};

struct ListContent {
    std::function<void()> drawHeading;
    std::vector<ListColumn> columns;
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

// Draws the list, each column as wide as its widest value, then waits: the
// cursor block scrolls (and pans a narrow window, then a list wider than the
// buffer), '/' opens the filter, '@' draws again, Escape takes a filter away
// or, without one, leaves; 's' orders the list by its next sortable column
// and after the last back in file order; a key of endingKeys also ends the wait. Returns
// the key that ended it.
int runListScreen(ConsoleScreen& screen, const ListContent& content, ListFilter& filter,
                  std::string_view endingKeys = {});
