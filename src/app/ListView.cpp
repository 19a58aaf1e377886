#include "app/ListView.h"

#include <algorithm>
#include <iostream>
#include <numeric>
#include <optional>
#include <vector>

#include "app/DialogSupport.h"
#include "console/Colors.h"
#include "console/ConsoleScreen.h"
#include "console/Keys.h"
#include "console/TextFolding.h"
#include "library/DvdLibrary.h"

namespace {

constexpr int REDRAW = '@';
constexpr int OPEN_FILTER = '/';
constexpr int NEXT_ORDER = 's';
constexpr int LABEL_ROW = 7;
constexpr int FILTER_ROW = LIST_NOTICE_ROW;
constexpr int NOTICE_COLUMN = LIST_NOTICE_COLUMN;
constexpr int FILTER_FIELD_COLUMN = 10;
constexpr int FILTER_LENGTH = 30;
constexpr int FILTER_COUNT_COLUMN = 45;

void drawNotice(ConsoleScreen& screen, const FileNotice& notice, int row) {
    if (notice.instead.empty() && !notice.locked && !notice.fileHoldsMore()) return;
    screen.setColor(colors::LIGHT_RED, colors::BLACK);
    screen.setCursor(row, NOTICE_COLUMN);
    if (!notice.instead.empty()) std::cout << notice.instead;
    else std::cout << (notice.locked ? std::string(dialog::FILE_LOCKED) : fileHoldsMoreText(notice, "ANGEZEIGT"));
    screen.setColor(colors::YELLOW, colors::BLACK);
}

// Where each column starts: at its list column, or further right where the
// column before needs it (its widest value or head, then one blank). The
// records of the whole list count, so the columns stay put while a filter
// narrows it.
struct ListLayout {
    std::vector<int> starts;  // by column index
    int width = 0;            // up to the end of the last column's widest value
};

ListLayout layoutOf(const ListContent& content) {
    ListLayout layout;
    for (std::size_t index = 0; index < content.columns.size(); ++index) {
        const int start = std::max(content.columns[index].column, index == 0 ? 0 : layout.width + 1);
        std::size_t widest = content.columns[index].label.size();
        for (int record = 0; record < content.recordCount; ++record)
            widest = std::max(widest, content.value(record, static_cast<int>(index)).size());
        layout.starts.push_back(start);
        layout.width = start + static_cast<int>(widest);
    }
    return layout;
}

class ListScreen {
public:
    ListScreen(ConsoleScreen& screen, const ListContent& content, ListFilter& filter)
        : screen(screen), content(content), filter(filter), typed(folding::fold(filter.text)),
          layout(layoutOf(content)) {
        orderIfSorted();
    }

    int run(std::string_view endingKeys) {
        drawShown();
        for (;;) {
            const keys::KeyPress key = keys::readKey(screen);
            if (key.extended) {
                if (!panList(key.code)) dialog::scrollForKey(screen, key.code);
            } else if (key.code == keys::ESCAPE && filter.shown) {
                removeFilter();
                screen.clearScreen();
                drawShown();
            } else if (key.code == keys::ESCAPE || endingKeys.find(static_cast<char>(key.code)) != std::string_view::npos) {
                return key.code;
            } else if (key.code == REDRAW) {
                // Without a filter the list is drawn over itself, as it always was.
                if (filter.shown) screen.clearScreen();
                drawShown();
            } else if (key.code == OPEN_FILTER) {
                editFilter();
            } else if (key.code == NEXT_ORDER && sortNext()) {
                screen.clearScreen();
                drawShown();
            }
        }
    }

    void draw() {
        content.drawHeading();
        for (std::size_t index = 0; index < content.columns.size(); ++index) {
            const bool sortedBy = static_cast<int>(index) == filter.sortedColumn;
            screen.setColor(sortedBy ? colors::WHITE : colors::YELLOW, colors::BLACK);
            writeShifted(LABEL_ROW, layout.starts[index], content.columns[index].label);
        }
        screen.setColor(colors::YELLOW, colors::BLACK);
        drawNotice(screen, content.notice, filter.shown ? FILTER_ROW + 1 : FILTER_ROW);
        std::vector<int> shownRecords;
        for (int position = 0; position < content.recordCount; ++position) {
            const int record = order.empty() ? position : order[static_cast<std::size_t>(position)];
            if (matches(record)) shownRecords.push_back(record);
        }
        if (filter.shown) drawFilterLine(static_cast<int>(shownRecords.size()));
        for (std::size_t row = 0; row < shownRecords.size(); ++row) {
            const bool highlighted = content.highlighted && content.highlighted(shownRecords[row]);
            if (highlighted) screen.setColor(colors::LIGHT_RED, colors::BLACK);
            for (std::size_t index = 0; index < content.columns.size(); ++index)
                writeShifted(LIST_FIRST_RECORD_ROW + static_cast<int>(row), layout.starts[index],
                             content.value(shownRecords[row], static_cast<int>(index)));
            if (highlighted) screen.setColor(colors::YELLOW, colors::BLACK);
        }
        if (content.lineBelow)
            dialog::writeAt(screen, LIST_FIRST_RECORD_ROW + static_cast<int>(shownRecords.size()) + 1, NOTICE_COLUMN,
                            content.lineBelow(shownRecords));
    }

private:
    // A head or value at its list column, seen from the list's left edge:
    // what lies left of it or beyond the buffer is not drawn.
    void writeShifted(int row, int listColumn, std::string_view text) {
        const int column = listColumn - listLeft;
        if (column < 0 && static_cast<std::size_t>(-column) >= text.size()) return;
        if (column < 0) text.remove_prefix(static_cast<std::size_t>(-column));
        dialog::writeAt(screen, row, std::max(0, column), text);
    }

    // A list wider than the buffer is drawn from `listLeft`: Right moves it
    // once the window shows the buffer's right edge, Left moves it back
    // before the window pans, Home goes back to the start. False where the
    // key is left to the window's scrolling.
    bool panList(int scanCode) {
        const int furthest = std::max(0, layout.width - ConsoleScreen::BUFFER_COLUMNS);
        const bool windowAtRightEdge =
            screen.viewLeftColumn() + screen.visibleColumnCount() >= ConsoleScreen::BUFFER_COLUMNS;
        int wanted = listLeft;
        if (scanCode == keys::RIGHT && windowAtRightEdge) wanted = std::min(furthest, listLeft + dialog::PAN_COLUMNS);
        else if (scanCode == keys::LEFT) wanted = std::max(0, listLeft - dialog::PAN_COLUMNS);
        else if (scanCode == keys::HOME) wanted = 0;
        if (wanted == listLeft) return false;
        listLeft = wanted;
        const int viewTop = screen.viewTopRow();
        const int viewLeft = screen.viewLeftColumn();
        const int cursorRow = screen.cursorRow();
        const int cursorColumn = screen.cursorColumn();
        screen.clearScreen();
        draw();
        screen.setCursor(cursorRow, cursorColumn);
        if (scanCode == keys::HOME) {
            dialog::showFromStart(screen);
        } else {
            screen.scrollViewTo(viewTop);
            screen.panViewTo(viewLeft);
        }
        return true;
    }

    // The next column 's' orders by, after the last file order again; false
    // when the list has no column to order by.
    bool sortNext() {
        const int columnCount = static_cast<int>(content.columns.size());
        int next = filter.sortedColumn + 1;
        while (next < columnCount && content.columns[static_cast<std::size_t>(next)].sortAs == SortAs::Unsorted) ++next;
        if (next == columnCount) next = ListFilter::FILE_ORDER;
        if (next == filter.sortedColumn) return false;
        filter.sortedColumn = next;
        order.clear();
        orderIfSorted();
        return true;
    }

    void orderIfSorted() {
        if (filter.sortedColumn == ListFilter::FILE_ORDER) return;
        const int columnIndex = filter.sortedColumn;
        order = orderedRecords(content.recordCount, content.columns[static_cast<std::size_t>(columnIndex)].sortAs,
                               [this, columnIndex](int record) { return content.value(record, columnIndex); });
    }

    // Takes the filter away; the order stays.
    void removeFilter() {
        filter.shown = false;
        filter.text.clear();
        typed = {};
    }

    bool matches(int record) {
        if (!filter.shown || filter.text.empty()) return true;
        // Folded once, on the first key of a filter: each key compares only.
        if (foldedValues.empty()) {
            foldedValues.resize(static_cast<std::size_t>(content.recordCount) * content.columns.size());
            for (int each = 0; each < content.recordCount; ++each)
                for (std::size_t index = 0; index < content.columns.size(); ++index)
                    foldedValues[static_cast<std::size_t>(each) * content.columns.size() + index] =
                        folding::fold(content.value(each, static_cast<int>(index)));
        }
        for (std::size_t index = 0; index < content.columns.size(); ++index)
            if (folding::occursIn(typed, foldedValues[static_cast<std::size_t>(record) * content.columns.size() + index]))
                return true;
        return false;
    }

    void drawFilterLine(int matchCount) {
        screen.setCursor(FILTER_ROW, NOTICE_COLUMN);
        std::cout << "Filter:";
        screen.setCursor(FILTER_ROW, FILTER_COUNT_COLUMN);
        std::cout << matchCount << " von " << content.recordCount;
        screen.setColor(colors::WHITE, colors::BLACK);
        screen.setCursor(FILTER_ROW, FILTER_FIELD_COLUMN);
        std::cout << filter.text;
        screen.setColor(colors::YELLOW, colors::BLACK);
    }

    // A live field: the rows narrow with each key. Enter keeps the filter,
    // Escape takes it away; Backspace takes back one character.
    void editFilter() {
        filter.shown = true;
        for (bool changed = true;;) {
            if (changed) {
                typed = folding::fold(filter.text);
                screen.clearScreen();
                drawShown();
                screen.setCursor(FILTER_ROW, FILTER_FIELD_COLUMN + static_cast<int>(filter.text.size()));
            }
            const keys::KeyPress key = keys::readKey(screen);
            changed = !key.extended;
            if (key.extended) {
                if (!panList(key.code)) dialog::scrollForKey(screen, key.code);
                continue;
            }
            if (key.code == keys::ENTER) break;
            if (key.code == keys::ESCAPE) {
                removeFilter();
                screen.clearScreen();
                drawShown();
                return;
            }
            if (key.code == keys::BACKSPACE) {
                if (!filter.text.empty()) filter.text.pop_back();
            } else if (key.code >= ' ' && key.code != keys::DELETE_CHARACTER &&
                       static_cast<int>(filter.text.size()) < FILTER_LENGTH) {
                filter.text.push_back(static_cast<char>(key.code));
            }
        }
        screen.clearScreen();
        drawShown();
    }

    // Drawing leaves the cursor below the last record; the list opens at its top.
    void drawShown() {
        draw();
        dialog::showFromStart(screen);
    }

    ConsoleScreen& screen;
    const ListContent& content;
    ListFilter& filter;
    folding::FoldedText typed;
    std::vector<folding::FoldedText> foldedValues;  // per record and column, once a filter is typed
    std::vector<int> order;                         // the records in the order chosen; empty in file order
    const ListLayout layout;
    int listLeft = 0;                               // the list column drawn at the buffer's left edge
};

}  // namespace

void drawList(ConsoleScreen& screen, const ListContent& content) {
    ListFilter none;
    ListScreen(screen, content, none).draw();
}

int runListScreen(ConsoleScreen& screen, const ListContent& content, ListFilter& filter, std::string_view endingKeys) {
    return ListScreen(screen, content, filter).run(endingKeys);
}
