#include "app/ListView.h"

#include <algorithm>
#include <iostream>

#include "app/DialogSupport.h"
#include "console/ConsoleScreen.h"
#include "console/Colors.h"
#include "console/Keys.h"

namespace {

constexpr int REDRAW = '@';
constexpr int LABEL_ROW = 7;
constexpr int NOTICE_ROW = 8;
constexpr int NOTICE_COLUMN = 2;

void drawNotice(ConsoleScreen& screen, const FileNotice& notice) {
    if (!notice.locked && notice.unshownCount <= 0 && !notice.uncounted) return;
    screen.setColor(colors::LIGHT_RED, colors::BLACK);
    screen.setCursor(NOTICE_ROW, NOTICE_COLUMN);
    if (notice.locked) {
        std::cout << dialog::FILE_LOCKED;
    } else if (notice.uncounted) {
        // Only part of the rest was counted: a number would understate it.
        std::cout << "WEITERE EINTRAEGE DER DATEI NICHT ANGEZEIGT!";
    } else if (notice.unshownCount == 1) {
        std::cout << "1 WEITERER EINTRAG DER DATEI NICHT ANGEZEIGT!";
    } else {
        std::cout << notice.unshownCount << " WEITERE EINTRAEGE DER DATEI NICHT ANGEZEIGT!";
    }
    screen.setColor(colors::YELLOW, colors::BLACK);
}

}  // namespace

void drawListRows(ConsoleScreen& screen, std::span<const ListColumn> columns, int recordCount,
                  const FileNotice& notice, const std::function<std::string(int record, int columnIndex)>& value) {
    screen.setColor(colors::YELLOW, colors::BLACK);
    for (const ListColumn& column : columns) dialog::writeAt(screen, LABEL_ROW, column.column, column.label);
    drawNotice(screen, notice);
    for (int record = 0; record < recordCount; ++record) {
        for (std::size_t index = 0; index < columns.size(); ++index)
            dialog::writeAt(screen, LIST_FIRST_RECORD_ROW + record, columns[index].column,
                      value(record, static_cast<int>(index)));
    }
}

void runListScreen(ConsoleScreen& screen, const std::function<void()>& drawList) {
    for (bool redraw = true;;) {
        if (redraw) {
            drawList();
            // Drawing leaves the cursor below the last record; the list opens at its top.
            dialog::showFromStart(screen);
        }
        const keys::KeyPress key = keys::readKey(screen);
        // An extended key only scrolls: its second code must not act as a key of its own.
        if (key.extended) {
            dialog::scrollForKey(screen, key.code);
            redraw = false;
            continue;
        }
        if (key.code == keys::ESCAPE) return;
        redraw = key.code == REDRAW;
    }
}
