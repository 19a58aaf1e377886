#pragma once
#include <memory>
#include <string>
#include <vector>

#include "console/ScreenCell.h"
#include "console/TerminalRenderer.h"

class ScreenStreamBuffer;

// The console window: a screen buffer of cells that std::cout writes into at
// the cursor, in the colour in force. The terminal is brought up to date from
// the buffer before every wait, so drawing itself never touches the terminal;
// an output that is not a terminal gets the changed rows as plain text then.
class ConsoleScreen {
public:
    static constexpr int BUFFER_COLUMNS = 80;
    static constexpr int MINIMUM_BUFFER_ROWS = 49;
    static constexpr int MAXIMUM_BUFFER_ROWS = 32766;

    ConsoleScreen();
    ~ConsoleScreen();
    ConsoleScreen(const ConsoleScreen&) = delete;
    ConsoleScreen& operator=(const ConsoleScreen&) = delete;

    void setCursor(int row, int column);
    void setColor(int foreground, int background);
    void clearScreen();
    void setTitle(const std::string& text);
    void setWindowSize(int width, int height);

    // Keyboard and pauses; each brings the terminal up to date first.
    bool keyWaiting();
    int readKey();
    void pause(int milliseconds);

    // Long and wide screens: which buffer row and column the terminal shows at
    // its top left. Once placed, until the next clearScreen, the view stays
    // there instead of following the cursor.
    void scrollViewTo(int topRow);
    void panViewTo(int leftColumn);
    int viewTopRow() const { return viewTop; }
    int viewLeftColumn() const { return viewLeft; }
    int visibleRowCount() const;
    int visibleColumnCount() const;
    // The last row holding a character other than a blank (0 for none).
    int lastFilledRow() const;

    // A note drawn away from the cursor while the program waits (a message, a
    // warning, a wait notice): until it is withdrawn or the screen cleared,
    // the view shows its row with the cursor, or the note alone where the
    // window is too short for both. Notes may nest; each add has its remove.
    void addNoteRow(int row);
    void removeNoteRow(int row);

    // Read back the buffer (tests, and code that redraws what is shown).
    ScreenCell cellAt(int row, int column) const;
    std::string rowText(int row) const;
    int cursorRow() const { return cursorRowIndex; }
    int cursorColumn() const { return cursorColumnIndex; }
    int currentAttribute() const { return attribute; }
    int bufferRowCount() const { return rowCount; }
    bool drawsOnTerminal() const { return terminalOutput; }

    // Brings the terminal up to date with the buffer.
    void refresh();

private:
    friend class ScreenStreamBuffer;
    void putByte(unsigned char byte);
    void lineFeed();
    bool ensureRow(int row);
    void refreshPlainText();
    void placeViewRows(int viewRows);

    bool terminalOutput;
    std::vector<ScreenCell> cells;
    int rowCount = MINIMUM_BUFFER_ROWS;
    int cursorRowIndex = 0;
    int cursorColumnIndex = 0;
    int attribute = colors::DEFAULT_ATTRIBUTE;
    int viewTop = 0;
    int viewLeft = 0;
    bool viewFollowsCursor = true;
    std::vector<int> noteRows;
    bool changedSinceRefresh = true;
    PlainTextRenderer plainText;  // for an output that is not a terminal
    std::unique_ptr<ScreenStreamBuffer> streamBuffer;
    std::streambuf* previousCoutBuffer = nullptr;
};
