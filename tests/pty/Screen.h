#pragma once
#include <string>
#include <string_view>

struct VTerm;

// A terminal emulator in memory (libvterm, UTF-8) fed with a program's output
// and read back as a person sees it: characters, colours, cursor, title, modes.
class Screen {
public:
    static constexpr int kDefaultColour = -1;  // the terminal's own, never set by SGR
    static constexpr int kDirectColour = -2;   // an RGB colour outside the palette

    struct Cell {
        char32_t codePoint = U' ';
        int foreground = kDefaultColour;  // palette index 0-15, or one of the above
        int background = kDefaultColour;
        bool styled = false;  // bold, reverse or underline
    };
    struct Position {
        int row = 0;
        int column = 0;
        bool operator==(const Position&) const = default;
    };

    Screen(int rows, int columns);
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    void feed(std::string_view bytes);
    void resize(int rows, int columns);

    int rows() const { return rows_; }
    int columns() const { return columns_; }
    Cell cell(int row, int column) const;
    std::string text(int row, int column, int length) const;  // UTF-8, blanks included
    std::string rowText(int row) const { return text(row, 0, columns_); }
    bool showsAt(int row, int column, std::string_view utf8) const;
    bool shows(std::string_view utf8) const;  // anywhere
    std::string dump() const;                 // the rows, blanks cut, for messages
    Position cursor() const;
    bool cursorVisible() const { return cursorVisible_; }
    bool altScreen() const { return altScreen_; }
    const std::string& title() const { return title_; }
    // DEC private mode (DECRQM), e.g. 7 autowrap; pending replies are kept.
    bool privateModeSet(int mode);
    // The emulator's answers to queries, for the program.
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
