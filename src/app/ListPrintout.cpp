#include "app/ListPrintout.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "console/ConsoleScreen.h"
#include "console/Cp850.h"

namespace {

constexpr int LINE_WIDTH = ConsoleScreen::BUFFER_COLUMNS;
constexpr int GAP_BEFORE_DATE = 3;

// One line of code page 850 bytes, filled column by column.
class PrintLine {
public:
    void put(int column, std::string_view text, int width) {
        if (column >= LINE_WIDTH || width <= 0) return;
        width = std::min(width, LINE_WIDTH - column);
        const auto length = std::min(text.size(), static_cast<std::size_t>(width));
        text.copy(cells.data() + column, length);
    }

    // Trailing blanks cut; every byte as the glyph the screen shows.
    void appendUtf8To(std::string& out) const {
        const auto end = cells.find_last_not_of(' ');
        if (end != std::string::npos)
            for (std::size_t index = 0; index <= end; ++index)
                cp850::appendGlyphUtf8(out, static_cast<unsigned char>(cells[index]));
        out += '\n';
    }

private:
    std::string cells = std::string(LINE_WIDTH, ' ');
};

std::string dateText(platform::CalendarDate date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.day % 100, date.month % 100, date.year % 10000);
    return text;
}

std::string unprintedNotice(int count) {
    if (count == 1) return "1 WEITERER EINTRAG DER DATEI NICHT GEDRUCKT!";
    return std::to_string(count) + " WEITERE EINTRAEGE DER DATEI NICHT GEDRUCKT!";
}

class PrintoutWriter {
public:
    PrintoutWriter(const PrintedList& printed, platform::CalendarDate date) : list(printed), date(dateText(date)) {}

    std::string write() {
        for (int record = 0; record < list.recordCount; ++record) {
            PrintLine line;
            for (std::size_t index = 0; index < list.columns.size(); ++index)
                line.put(list.columns[index].column, list.value(record, static_cast<int>(index)),
                         columnWidth(index));
            addBodyLine(line);
        }
        if (list.unprintedCount > 0) {
            PrintLine line;
            line.put(firstColumn(), unprintedNotice(list.unprintedCount), LINE_WIDTH);
            addBodyLine(line);
        }
        return std::move(text);
    }

private:
    static constexpr int HEAD_LINES = 4;

    int firstColumn() const { return list.columns.empty() ? 0 : list.columns.front().column; }

    int columnWidth(std::size_t index) const {
        if (index + 1 >= list.columns.size()) return LINE_WIDTH - list.columns[index].column;
        return list.columns[index + 1].column - list.columns[index].column - 1;
    }

    void addBodyLine(const PrintLine& line) {
        if (linesOnPage == 0 || linesOnPage == PRINT_PAGE_LINES) startPage();
        line.appendUtf8To(text);
        ++linesOnPage;
    }

    void startPage() {
        if (page > 0) text += '\f';
        ++page;
        PrintLine title;
        title.put(firstColumn(), list.name, LINE_WIDTH);
        title.put(firstColumn() + static_cast<int>(list.name.size()) + GAP_BEFORE_DATE, date, LINE_WIDTH);
        const std::string pageText = "Seite " + std::to_string(page);
        title.put(LINE_WIDTH - static_cast<int>(pageText.size()), pageText, LINE_WIDTH);
        title.appendUtf8To(text);
        text += '\n';
        PrintLine heads;
        for (std::size_t index = 0; index < list.columns.size(); ++index)
            heads.put(list.columns[index].column, list.columns[index].label, columnWidth(index));
        heads.appendUtf8To(text);
        text += '\n';
        linesOnPage = HEAD_LINES;
    }

    const PrintedList& list;
    std::string date;
    std::string text;
    int page = 0;
    int linesOnPage = 0;
};

}  // namespace

std::string formatPrintout(const PrintedList& list, platform::CalendarDate date) {
    return PrintoutWriter(list, date).write();
}
