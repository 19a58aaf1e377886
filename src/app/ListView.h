#pragma once
#include <functional>
#include <span>
#include <string>

class ConsoleScreen;

// What the library list and the rental list share: labels on row 7, one
// record per row from row 10 on, however long the list, and the wait below it.

constexpr int LIST_FIRST_RECORD_ROW = 10;

struct ListColumn {
    const char* label;
    int column;
};

// What a list says above its records about the file they come from.
struct FileNotice {
    bool locked = false;     // the file could not be read: someone holds its lock
    int unshownCount = 0;    // records of the file that the store could not hold
    bool uncounted = false;  // reading stopped early, so more may follow
};

template <typename Store>
FileNotice fileNoticeOf(const Store& store) {
    return {store.wasLocked(), store.unreadLineCount(), store.hasUncountedLines()};
}

// The labels, the notice, and value(record, columnIndex) for every record,
// each written from its column so that the next column's value overwrites
// what reaches into it.
void drawListRows(ConsoleScreen& screen, std::span<const ListColumn> columns, int recordCount,
                  const FileNotice& notice, const std::function<std::string(int record, int columnIndex)>& value);

// Draws with drawList, then waits: '@' draws again over the same screen,
// Escape returns, the cursor block scrolls, every other key does nothing.
void runListScreen(ConsoleScreen& screen, const std::function<void()>& drawList);
