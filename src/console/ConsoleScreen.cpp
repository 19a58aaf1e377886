#include "console/ConsoleScreen.h"

#include <algorithm>
#include <iostream>
#include <streambuf>

#include "console/ConsoleDevice.h"

// Unbuffered: every byte reaches the screen buffer at once, so each piece of
// text lands at the cursor position and in the colour in force when written.
class ScreenStreamBuffer : public std::streambuf {
public:
    explicit ScreenStreamBuffer(ConsoleScreen& screen) : screen(screen) {}

protected:
    int_type overflow(int_type character) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

private:
    ConsoleScreen& screen;
};

ScreenStreamBuffer::int_type ScreenStreamBuffer::overflow(int_type character) {
    if (traits_type::eq_int_type(character, traits_type::eof())) return traits_type::not_eof(character);
    screen.putByte(static_cast<unsigned char>(traits_type::to_char_type(character)));
    return character;
}

std::streamsize ScreenStreamBuffer::xsputn(const char* text, std::streamsize count) {
    for (std::streamsize i = 0; i < count; ++i) screen.putByte(static_cast<unsigned char>(text[i]));
    return count;
}

ConsoleScreen::ConsoleScreen()
    : terminalOutput(platform::outputIsTerminal()),
      cells(static_cast<size_t>(BUFFER_COLUMNS) * MINIMUM_BUFFER_ROWS),
      streamBuffer(std::make_unique<ScreenStreamBuffer>(*this)) {
    platform::open();
    plainText.useGlyphs(platform::plainTextGlyphs());
    previousCoutBuffer = std::cout.rdbuf(streamBuffer.get());
}

ConsoleScreen::~ConsoleScreen() {
    refresh();
    std::cout.rdbuf(previousCoutBuffer);
    platform::close();
}

bool ConsoleScreen::ensureRow(int row) {
    if (row < rowCount) return true;
    if (row >= MAXIMUM_BUFFER_ROWS) return false;
    rowCount = row + 1;
    cells.resize(static_cast<size_t>(BUFFER_COLUMNS) * rowCount);
    return true;
}

void ConsoleScreen::setCursor(int row, int column) {
    // Like the console, a position outside the buffer's width is refused; a
    // row below the buffer grows it, so long lists keep every line.
    const auto row16 = static_cast<short>(row);
    const auto column16 = static_cast<short>(column);
    if (row16 < 0 || column16 < 0 || column16 >= BUFFER_COLUMNS) return;
    if (!ensureRow(row16)) return;
    cursorRowIndex = row16;
    cursorColumnIndex = column16;
    changedSinceRefresh = true;
}

void ConsoleScreen::setColor(int foreground, int background) { attribute = colors::attribute(foreground, background); }

void ConsoleScreen::clearScreen() {
    rowCount = MINIMUM_BUFFER_ROWS;
    cells.assign(static_cast<size_t>(BUFFER_COLUMNS) * rowCount,
                 ScreenCell{' ', static_cast<std::uint8_t>(attribute)});
    cursorRowIndex = 0;
    cursorColumnIndex = 0;
    viewTop = 0;
    viewLeft = 0;
    viewFollowsCursor = true;
    noteRows.clear();
    changedSinceRefresh = true;
}

void ConsoleScreen::setTitle(const std::string& text) {
    if (terminalOutput) platform::setWindowTitle(text);
}

void ConsoleScreen::setWindowSize(int width, int height) {
    if (terminalOutput) platform::requestWindowSize(width + 1, height + 1);
}

void ConsoleScreen::lineFeed() {
    cursorColumnIndex = 0;
    if (ensureRow(cursorRowIndex + 1)) ++cursorRowIndex;
}

void ConsoleScreen::putByte(unsigned char byte) {
    changedSinceRefresh = true;
    if (byte == '\n') {
        lineFeed();
        return;
    }
    cells[static_cast<size_t>(cursorRowIndex) * BUFFER_COLUMNS + cursorColumnIndex] =
        ScreenCell{byte, static_cast<std::uint8_t>(attribute)};
    if (++cursorColumnIndex == BUFFER_COLUMNS) lineFeed();
}

ScreenCell ConsoleScreen::cellAt(int row, int column) const {
    if (row < 0 || row >= rowCount || column < 0 || column >= BUFFER_COLUMNS) return ScreenCell{};
    return cells[static_cast<size_t>(row) * BUFFER_COLUMNS + column];
}

std::string ConsoleScreen::rowText(int row) const {
    std::string text;
    for (int column = 0; column < BUFFER_COLUMNS; ++column) text.push_back(static_cast<char>(cellAt(row, column).character));
    return text;
}

int ConsoleScreen::visibleRowCount() const {
    const int rows = platform::terminalSize().rows;
    return rows > 0 ? rows : MINIMUM_BUFFER_ROWS;
}

int ConsoleScreen::visibleColumnCount() const {
    const int columns = platform::terminalSize().columns;
    return columns > 0 ? std::min(columns, BUFFER_COLUMNS) : BUFFER_COLUMNS;
}

void ConsoleScreen::panViewTo(int leftColumn) {
    viewLeft = std::clamp(leftColumn, 0, BUFFER_COLUMNS - visibleColumnCount());
    viewFollowsCursor = false;
    changedSinceRefresh = true;
}

void ConsoleScreen::scrollViewTo(int topRow) {
    viewTop = std::clamp(topRow, 0, std::max(0, rowCount - visibleRowCount()));
    viewFollowsCursor = false;
    changedSinceRefresh = true;
}

int ConsoleScreen::lastFilledRow() const {
    for (int row = rowCount - 1; row > 0; --row)
        for (int column = 0; column < BUFFER_COLUMNS; ++column) {
            const std::uint8_t character = cellAt(row, column).character;
            if (character != ' ' && character != 0) return row;
        }
    return 0;
}

void ConsoleScreen::addNoteRow(int row) {
    noteRows.push_back(row);
    changedSinceRefresh = true;
}

void ConsoleScreen::removeNoteRow(int row) {
    const auto found = std::find(noteRows.begin(), noteRows.end(), row);
    if (found != noteRows.end()) noteRows.erase(found);
    changedSinceRefresh = true;
}

// The view moves as little as it must: to the cursor while it follows it,
// and to the cursor and every note while a note is shown. A window too short
// for both shows the notes, as near to the cursor as they allow.
void ConsoleScreen::placeViewRows(int viewRows) {
    if (noteRows.empty()) {
        if (viewFollowsCursor) viewTop = std::clamp(viewTop, cursorRowIndex - viewRows + 1, cursorRowIndex);
        return;
    }
    const auto [firstNote, lastNote] = std::minmax_element(noteRows.begin(), noteRows.end());
    const int first = std::min(*firstNote, cursorRowIndex);
    const int last = std::max(*lastNote, cursorRowIndex);
    if (last - first < viewRows) {
        viewTop = std::clamp(viewTop, last - viewRows + 1, first);
    } else if (*lastNote > cursorRowIndex) {
        viewTop = *lastNote - viewRows + 1;
    } else {
        viewTop = *firstNote;
    }
}

void ConsoleScreen::refresh() {
    if (!changedSinceRefresh) return;
    if (!terminalOutput) {
        refreshPlainText();
        return;
    }
    const platform::TerminalSize size = platform::terminalSize();
    const int viewRows = size.rows > 0 ? size.rows : MINIMUM_BUFFER_ROWS;
    const int viewColumns = size.columns > 0 ? size.columns : BUFFER_COLUMNS;
    placeViewRows(viewRows);
    viewTop = std::clamp(viewTop, 0, std::max(0, rowCount - viewRows));
    if (viewFollowsCursor) {
        if (cursorColumnIndex < viewLeft) viewLeft = cursorColumnIndex;
        if (cursorColumnIndex >= viewLeft + viewColumns) viewLeft = cursorColumnIndex - viewColumns + 1;
    }
    viewLeft = std::clamp(viewLeft, 0, std::max(0, BUFFER_COLUMNS - viewColumns));

    FrameView frame;
    frame.cells = cells.data();
    frame.bufferWidth = BUFFER_COLUMNS;
    frame.bufferHeight = rowCount;
    frame.viewTop = viewTop;
    frame.viewLeft = viewLeft;
    frame.viewRows = viewRows;
    frame.viewColumns = viewColumns;
    frame.cursorRow = cursorRowIndex;
    frame.cursorColumn = cursorColumnIndex;
    platform::present(frame);
    changedSinceRefresh = false;
}

void ConsoleScreen::refreshPlainText() {
    FrameView frame;
    frame.cells = cells.data();
    frame.bufferWidth = BUFFER_COLUMNS;
    frame.bufferHeight = rowCount;
    platform::writeThrough(plainText.render(frame));
    changedSinceRefresh = false;
}

bool ConsoleScreen::keyWaiting() {
    refresh();
    return platform::keyWaiting();
}

int ConsoleScreen::readKey() {
    for (;;) {
        refresh();
        const platform::WaitResult result = platform::waitForKey(-1);
        if (result == platform::WaitResult::KeyReady) return platform::takeKey();
        // A resize or a resume: the platform has forgotten what the terminal shows.
        changedSinceRefresh = true;
    }
}

void ConsoleScreen::pause(int milliseconds) {
    const long long deadline = platform::monotonicMilliseconds() + milliseconds;
    for (;;) {
        refresh();
        const long long remaining = deadline - platform::monotonicMilliseconds();
        if (remaining <= 0) return;
        if (platform::sleepFor(static_cast<int>(remaining)) == platform::WaitResult::Timeout) return;
        changedSinceRefresh = true;
    }
}
