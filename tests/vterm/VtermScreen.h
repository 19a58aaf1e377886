#pragma once
#include <string>
#include <string_view>

struct VTerm;

// A terminal emulator in memory (libvterm, UTF-8 on) that a test feeds with a
// program's output and then reads back like a person looking at the screen:
// characters, colours, cursor, title and modes.
class VtermScreen {
public:
    static constexpr int kDefaultColour = -1;  // the terminal's own default, never set by SGR
    static constexpr int kDirectColour = -2;   // an RGB colour from outside the palette

    struct Cell {
        char32_t codePoint = U' ';  // a cell never written or erased reads as a space
        int foreground = kDefaultColour;  // palette index 0-15 (8-15 bright), or one of the above
        int background = kDefaultColour;
        bool bold = false;
        bool reverse = false;
        bool underline = false;
    };
    struct Position {
        int row = 0;
        int column = 0;
        bool operator==(const Position&) const = default;
    };

    VtermScreen(int rows, int columns);
    ~VtermScreen();
    VtermScreen(const VtermScreen&) = delete;
    VtermScreen& operator=(const VtermScreen&) = delete;

    void feed(std::string_view bytes);
    void resize(int rows, int columns);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    Cell cell(int row, int column) const;
    // The cells as UTF-8, blanks included.
    std::string text(int row, int column, int length) const;
    std::string rowText(int row) const { return text(row, 0, columns_); }
    Position cursor() const;
    bool cursorVisible() const { return cursorVisible_; }
    bool altScreen() const { return altScreen_; }
    const std::string& title() const { return title_; }

    // Asks the emulator for a DEC private mode (DECRQM), e.g. 7 autowrap, 25
    // cursor shown; true when set. Does not disturb the pending replies.
    bool privateModeSet(int mode);
    // What the emulator answered to queries in the fed output (cursor
    // position, device attributes), to be passed back to the program.
    std::string takeReplies();

private:
    VTerm* terminal_ = nullptr;
    int rows_ = 0;
    int columns_ = 0;
    std::string replies_;
    bool cursorVisible_ = true;
    bool altScreen_ = false;
    std::string title_;
    std::string titleInProgress_;
};
