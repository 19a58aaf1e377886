#include "app/ListView.h"

#include <algorithm>
#include <iostream>

#include "console/ConsoleScreen.h"

namespace {

constexpr int REDRAW = '@';
constexpr int KEY_ESCAPE = 27;
constexpr int EXTENDED_PREFIX_NULL = 0;
constexpr int EXTENDED_PREFIX = 224;
// Scan codes of the cursor block; the numeric keypad sends them after 0.
constexpr int KEY_HOME = 71;
constexpr int KEY_UP = 72;
constexpr int KEY_PAGE_UP = 73;
constexpr int KEY_END = 79;
constexpr int KEY_DOWN = 80;
constexpr int KEY_PAGE_DOWN = 81;

constexpr int LABEL_ROW = 7;
constexpr int NOTICE_ROW = 8;
constexpr int NOTICE_COLUMN = 2;
constexpr int YELLOW = 14;
constexpr int LIGHT_RED = 12;
constexpr int BLACK = 0;

// A value is cut at the right edge: the console would wrap it into the row
// below and put stray text between the records.
void writeFrom(ConsoleScreen& screen, int row, int column, const std::string& text) {
    screen.setCursor(row, column);
    const auto room = static_cast<std::size_t>(ConsoleScreen::BUFFER_COLUMNS - column);
    std::cout.write(text.data(), static_cast<std::streamsize>(std::min(text.size(), room)));
}

void drawUnshownNotice(ConsoleScreen& screen, int unshownCount) {
    if (unshownCount <= 0) return;
    screen.setColor(LIGHT_RED, BLACK);
    screen.setCursor(NOTICE_ROW, NOTICE_COLUMN);
    if (unshownCount == 1) {
        std::cout << "1 WEITERER EINTRAG DER DATEI NICHT ANGEZEIGT!";
    } else {
        std::cout << unshownCount << " WEITERE EINTRAEGE DER DATEI NICHT ANGEZEIGT!";
    }
    screen.setColor(YELLOW, BLACK);
}

// A page key keeps one row of the previous page in sight.
void scrollList(ConsoleScreen& screen, int scanCode) {
    const int top = screen.viewTopRow();
    const int page = std::max(1, screen.visibleRowCount() - 1);
    switch (scanCode) {
    case KEY_HOME: screen.scrollViewTo(0); break;
    case KEY_END: screen.scrollViewTo(screen.bufferRowCount()); break;
    case KEY_UP: screen.scrollViewTo(top - 1); break;
    case KEY_DOWN: screen.scrollViewTo(top + 1); break;
    case KEY_PAGE_UP: screen.scrollViewTo(top - page); break;
    case KEY_PAGE_DOWN: screen.scrollViewTo(top + page); break;
    default: break;
    }
}

}  // namespace

void drawListRows(ConsoleScreen& screen, std::span<const ListColumn> columns, int recordCount, int unshownCount,
                  const std::function<std::string(int record, int columnIndex)>& value) {
    screen.setColor(YELLOW, BLACK);
    for (const ListColumn& column : columns) writeFrom(screen, LABEL_ROW, column.column, column.label);
    drawUnshownNotice(screen, unshownCount);
    for (int record = 0; record < recordCount; ++record) {
        for (std::size_t index = 0; index < columns.size(); ++index)
            writeFrom(screen, LIST_FIRST_RECORD_ROW + record, columns[index].column,
                      value(record, static_cast<int>(index)));
    }
}

void runListScreen(ConsoleScreen& screen, const std::function<void()>& drawList) {
    int state = REDRAW;
    for (;;) {
        if (state == REDRAW) {
            drawList();
            // Drawing leaves the cursor below the last record; the list opens at its top.
            screen.scrollViewTo(0);
            state = 1;
            continue;
        }
        state = screen.readKey();
        if (state == KEY_ESCAPE) return;
        if (state == EXTENDED_PREFIX || state == EXTENDED_PREFIX_NULL) {
            // The second code belongs to the same key and must not act as a key of its own.
            scrollList(screen, screen.readKey());
            state = 1;
        }
    }
}
