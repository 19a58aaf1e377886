#include "app/ListPrintout.h"

#include <algorithm>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ListView.h"
#include "console/Cp850.h"

namespace {

constexpr int PRINT_COLUMN_GAP = 1;
constexpr int GAP_BEFORE_DATE = 3;
constexpr int HEAD_LINES = 4;  // title, blank, column heads, blank
constexpr int BODY_LINES = PRINT_PAGE_LINES - HEAD_LINES;

// One line of code page 850 bytes, filled column by column.
class PrintLine {
public:
    explicit PrintLine(int width) : cells(static_cast<std::size_t>(width), ' ') {}

    void put(int column, std::string_view text) {
        if (column < 0 || static_cast<std::size_t>(column) >= cells.size()) return;
        const auto length = std::min(text.size(), cells.size() - static_cast<std::size_t>(column));
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
    std::string cells;
};

// A value in pieces of at most width bytes, each broken after the last blank
// that lets it keep some text; joined they are the value, byte for byte.
std::vector<std::string_view> wrapped(std::string_view value, int width) {
    std::vector<std::string_view> pieces;
    const auto room = static_cast<std::size_t>(std::max(1, width));
    while (value.size() > room) {
        const std::size_t blank = value.find_last_of(' ', room - 1);
        const std::size_t length = blank != std::string_view::npos && blank > 0 ? blank + 1 : room;
        pieces.push_back(value.substr(0, length));
        value.remove_prefix(length);
    }
    pieces.push_back(value);
    return pieces;
}

std::string dateText(platform::CalendarDate date) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.day % 100, date.month % 100, date.year % 10000);
    return text;
}

class PrintoutWriter {
public:
    PrintoutWriter(const PrintedList& printed, platform::CalendarDate date)
        : list(printed), date(dateText(date)) {
        for (const PrintColumn& column : list.columns) {
            starts.push_back(lineWidth + (starts.empty() ? 0 : PRINT_COLUMN_GAP));
            lineWidth = starts.back() + column.width;
        }
    }

    std::string write() {
        for (int record = 0; record < list.recordCount; ++record) addRecord(record);
        std::vector<PrintLine> ending(1, PrintLine(lineWidth));
        if (list.file.fileHoldsMore()) addTextLine(ending, fileHoldsMoreText(list.file, "GEDRUCKT"));
        addTextLine(ending, countLine(list));
        addBlock(ending);
        return std::move(text);
    }

private:
    void addTextLine(std::vector<PrintLine>& lines, std::string_view words) const {
        lines.emplace_back(lineWidth);
        lines.back().put(0, words);
    }

    void addRecord(int record) {
        std::vector<PrintLine> lines;
        for (std::size_t index = 0; index < list.columns.size(); ++index) {
            const std::string value = list.value(record, static_cast<int>(index));
            const std::vector<std::string_view> pieces = wrapped(value, list.columns[index].width);
            while (lines.size() < pieces.size()) lines.emplace_back(lineWidth);
            for (std::size_t line = 0; line < pieces.size(); ++line)
                lines[line].put(alignedStart(index, pieces[line].size()), pieces[line]);
        }
        addBlock(lines);
    }

    int alignedStart(std::size_t index, std::size_t length) const {
        if (!list.columns[index].alignRight) return starts[index];
        return starts[index] + list.columns[index].width - static_cast<int>(length);
    }

    // Lines that belong together start a new page unless they all fit on
    // this one; a block longer than a page goes on over the pages it needs.
    void addBlock(const std::vector<PrintLine>& lines) {
        const int length = static_cast<int>(lines.size());
        if (page == 0 || (length > BODY_LINES - linesOnPage && length <= BODY_LINES)) startPage();
        for (const PrintLine& line : lines) {
            if (linesOnPage == BODY_LINES) startPage();
            line.appendUtf8To(text);
            ++linesOnPage;
        }
    }

    void startPage() {
        if (page > 0) text += '\f';
        ++page;
        PrintLine title(lineWidth);
        title.put(0, list.name);
        title.put(static_cast<int>(list.name.size()) + GAP_BEFORE_DATE, date);
        const std::string pageText = "Seite " + std::to_string(page);
        title.put(lineWidth - static_cast<int>(pageText.size()), pageText);
        title.appendUtf8To(text);
        text += '\n';
        PrintLine heads(lineWidth);
        for (std::size_t index = 0; index < list.columns.size(); ++index) {
            const std::string_view label = list.columns[index].label;
            heads.put(std::max(0, alignedStart(index, label.size())), label);
        }
        heads.appendUtf8To(text);
        text += '\n';
        linesOnPage = 0;
    }

    const PrintedList& list;
    std::string date;
    std::vector<int> starts;
    int lineWidth = 0;
    std::string text;
    int page = 0;
    int linesOnPage = 0;
};

}  // namespace

std::string fileHoldsMoreText(const FileNotice& notice, std::string_view notDone) {
    const std::string ending = " DER DATEI NICHT " + std::string(notDone) + "!";
    if (notice.uncounted) return "WEITERE EINTRAEGE" + ending;
    if (notice.unshownCount == 1) return "1 WEITERER EINTRAG" + ending;
    return std::to_string(notice.unshownCount) + " WEITERE EINTRAEGE" + ending;
}

std::string countLine(const PrintedList& list) {
    return std::to_string(list.recordCount) + " " + std::string(list.recordCount == 1 ? list.oneRecord : list.manyRecords);
}

std::string formatPrintout(const PrintedList& list, platform::CalendarDate date) {
    return PrintoutWriter(list, date).write();
}

namespace {

constexpr std::size_t TEXT_COLUMN_GAP = 2;

void appendLine(std::string& out, std::string line) {
    line.erase(line.find_last_not_of(' ') + 1);  // npos + 1: an all-blank line becomes empty
    out += line;
    out += '\n';
}

// Every line in the output's character set, each byte as the screen shows it.
std::string inCharset(const std::string& cp850Text, const TextCharset& charset) {
    std::string out;
    out.reserve(cp850Text.size());
    for (const char byte : cp850Text) {
        if (byte == '\n') out += byte;
        else cp850::appendGlyph(out, static_cast<unsigned char>(byte), charset.glyphs);
    }
    return out;
}

// The printout's list, laid out for a terminal: columns as wide as their
// widest value, the count line, and the screen's notice of what is not shown.
std::string formatListText(const PrintedList& list) {
    std::vector<std::size_t> widths;
    for (const PrintColumn& column : list.columns) widths.push_back(std::string_view(column.label).size());
    for (int record = 0; record < list.recordCount; ++record)
        for (std::size_t index = 0; index < widths.size(); ++index)
            widths[index] = std::max(widths[index], list.value(record, static_cast<int>(index)).size());
    const auto columnsLine = [&](const std::function<std::string(std::size_t index)>& cell) {
        std::string line;
        for (std::size_t index = 0; index < widths.size(); ++index) {
            std::string text = cell(index);
            if (index + 1 < widths.size()) text.resize(widths[index] + TEXT_COLUMN_GAP, ' ');
            line += text;
        }
        return line;
    };
    std::string out;
    appendLine(out, std::string(list.name));
    appendLine(out, "");
    appendLine(out, columnsLine([&](std::size_t index) { return std::string(list.columns[index].label); }));
    for (int record = 0; record < list.recordCount; ++record)
        appendLine(out, columnsLine([&](std::size_t index) { return list.value(record, static_cast<int>(index)); }));
    appendLine(out, "");
    appendLine(out, countLine(list));
    if (list.file.fileHoldsMore()) appendLine(out, fileHoldsMoreText(list.file, "ANGEZEIGT"));
    return out;
}

}  // namespace

std::string listText(const PrintedList& list, const TextCharset& charset) {
    return inCharset(formatListText(list), charset);
}

std::string textInCharset(const std::string& cp850Text, const TextCharset& charset) {
    return inCharset(cp850Text, charset);
}
