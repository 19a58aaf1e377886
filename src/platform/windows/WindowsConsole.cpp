// The console window side of the platform: drawing, title, window size;
// and the calendar, the standard streams and the character set.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "console/Colors.h"
#include "console/Cp850.h"
#include "platform/Platform.h"
#include "platform/windows/ConsoleViewCells.h"
#include "system/ExitCleanup.h"

namespace platform {

namespace {

constexpr UINT CODE_PAGE_850 = 850;

ConsoleViewCells viewCells;
COORD drawnWindowOrigin{-1, -1};
bool opened = false;
bool drewSomething = false;
UINT originalInputCodePage = 0;   // 0: not changed
UINT originalOutputCodePage = 0;
WORD originalAttribute = colors::DEFAULT_ATTRIBUTE;

HANDLE outputHandle() { return ::GetStdHandle(STD_OUTPUT_HANDLE); }

bool readWindowInfo(CONSOLE_SCREEN_BUFFER_INFO& info) {
    info = CONSOLE_SCREEN_BUFFER_INFO{};
    return ::GetConsoleScreenBufferInfo(outputHandle(), &info) != 0;
}

void restoreConsole() {
    if (originalInputCodePage != 0) ::SetConsoleCP(originalInputCodePage);
    if (originalOutputCodePage != 0) ::SetConsoleOutputCP(originalOutputCodePage);
    originalInputCodePage = 0;
    originalOutputCodePage = 0;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!drewSomething || !readWindowInfo(info)) return;
    drewSomething = false;
    // The shell's prompt goes on a fresh line below the last screen.
    const HANDLE output = outputHandle();
    ::SetConsoleTextAttribute(output, originalAttribute);
    ::SetConsoleCursorPosition(output, COORD{0, info.srWindow.Bottom});
    DWORD written = 0;
    ::WriteConsoleA(output, "\r\n", 2, &written, nullptr);
}

// Ctrl+C, Ctrl+Break or the window closing: the console gets its code pages
// back, then the default handler ends the process.
BOOL WINAPI restoreOnInterrupt(DWORD) {
    exit_cleanup::runAll();
    restoreConsole();
    return FALSE;
}

}  // namespace

void open() {
    if (opened) return;
    opened = true;
    // Typed keys and every text of the console are bytes in code page 850.
    const UINT inputCodePage = ::GetConsoleCP();
    if (inputCodePage != 0 && inputCodePage != CODE_PAGE_850 && ::SetConsoleCP(CODE_PAGE_850))
        originalInputCodePage = inputCodePage;
    const UINT outputCodePage = ::GetConsoleOutputCP();
    if (outputCodePage != 0 && outputCodePage != CODE_PAGE_850 && ::SetConsoleOutputCP(CODE_PAGE_850))
        originalOutputCodePage = outputCodePage;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (readWindowInfo(info)) originalAttribute = info.wAttributes;
    ::SetConsoleCtrlHandler(restoreOnInterrupt, TRUE);
    viewCells.forget();
}

void close() {
    restoreConsole();
}

// Nothing was changed in the console: restoreConsole finds nothing to undo.
void endThroughCleanupOnInterrupt() { ::SetConsoleCtrlHandler(restoreOnInterrupt, TRUE); }

bool outputIsTerminal() {
    DWORD mode = 0;
    return ::GetConsoleMode(outputHandle(), &mode) != 0;
}

// A console window always places the cursor.
bool canShowScreens() { return true; }

TerminalSize terminalSize() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!readWindowInfo(info)) return {};
    return {info.srWindow.Right - info.srWindow.Left + 1, info.srWindow.Bottom - info.srWindow.Top + 1};
}

// The frame goes to the cells of the console window, wherever the window
// stands in the console's buffer. Each character is written as the same
// Unicode glyph the terminal build shows, so control bytes stay visible and
// the look does not depend on the console's font or code page.
void present(const FrameView& frame) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!readWindowInfo(info)) return;
    const COORD origin{info.srWindow.Left, info.srWindow.Top};
    if (origin.X != drawnWindowOrigin.X || origin.Y != drawnWindowOrigin.Y) {
        viewCells.forget();
        drawnWindowOrigin = origin;
    }
    const HANDLE output = outputHandle();
    std::vector<CHAR_INFO> run;
    for (const ConsoleViewCells::ChangedRun& changed : viewCells.takeFrame(frame)) {
        run.resize(static_cast<size_t>(changed.length));
        for (int i = 0; i < changed.length; ++i) {
            const ScreenCell cell = viewCells.cellAt(changed.row, changed.firstColumn + i);
            run[static_cast<size_t>(i)].Char.UnicodeChar = static_cast<WCHAR>(cp850::displayGlyph(cell.character));
            run[static_cast<size_t>(i)].Attributes = cell.attribute;
        }
        const SHORT left = static_cast<SHORT>(origin.X + changed.firstColumn);
        const SHORT top = static_cast<SHORT>(origin.Y + changed.row);
        SMALL_RECT region{left, top, static_cast<SHORT>(left + changed.length - 1), top};
        ::WriteConsoleOutputW(output, run.data(), COORD{static_cast<SHORT>(changed.length), 1}, COORD{0, 0},
                              &region);
    }
    int cursorRow = 0;
    int cursorColumn = 0;
    ConsoleViewCells::cursorInView(frame, cursorRow, cursorColumn);
    ::SetConsoleCursorPosition(output, COORD{static_cast<SHORT>(origin.X + cursorColumn),
                                             static_cast<SHORT>(origin.Y + cursorRow)});
    drewSomething = true;
}

const std::array<std::string, 256>* plainTextGlyphs() { return nullptr; }

// Output that is not a console (a file, a pipe) gets the bytes unchanged: no
// text-mode line-end translation.
void writeThrough(std::string_view bytes) {
    const HANDLE output = outputHandle();
    while (!bytes.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
        if (!::WriteFile(output, bytes.data(), chunk, &written, nullptr) || written == 0) return;
        bytes.remove_prefix(written);
    }
}

void setWindowTitle(std::string_view titleCp850) {
    const std::string title(titleCp850);
    ::SetConsoleTitleA(title.c_str());
}

// Results ignored: a console that refuses keeps its size, and the drawing
// follows whatever window there is.
void requestWindowSize(int columns, int rows) {
    const HANDLE output = outputHandle();
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!readWindowInfo(info) || columns <= 0 || rows <= 0) return;
    // No larger than the console can show: a console that took a larger
    // window anyway (a terminal's own size under an emulation) would draw
    // the rows beyond its last one over that row.
    const COORD largest = ::GetLargestConsoleWindowSize(output);
    if (largest.X > 0) columns = std::min<int>(columns, largest.X);
    if (largest.Y > 0) rows = std::min<int>(rows, largest.Y);
    // A window never exceeds its buffer, so the buffer grows first when it must.
    const COORD buffer{std::max<SHORT>(info.dwSize.X, static_cast<SHORT>(columns)),
                       std::max<SHORT>(info.dwSize.Y, static_cast<SHORT>(rows))};
    ::SetConsoleScreenBufferSize(output, buffer);
    // The window keeps its place in the buffer where it can.
    const SHORT top = static_cast<SHORT>(std::max(0, std::min<int>(info.srWindow.Top, buffer.Y - rows)));
    const SMALL_RECT window{0, top, static_cast<SHORT>(columns - 1), static_cast<SHORT>(top + rows - 1)};
    ::SetConsoleWindowInfo(output, TRUE, &window);
    // Then the buffer as wide as the window, so there is nothing to scroll
    // sideways; its rows beyond the window stay as the console's scroll-back.
    ::SetConsoleScreenBufferSize(output, COORD{static_cast<SHORT>(columns), buffer.Y});
}

CalendarDate today() {
    SYSTEMTIME local{};
    ::GetLocalTime(&local);
    return {local.wYear, local.wMonth, local.wDay};
}

// Files are opened as handles, never as descriptors 0 to 2, so a missing
// standard stream cannot be taken over by one.
bool standardStreamsOpen() { return true; }

bool errorIsTerminal() { return ::_isatty(2) != 0; }

// The console's code page 850 is the program's own: bytes go out as they
// are, but control bytes, which would act on the console, as '?'.
TextCharset textCharset() {
    static const cp850::GlyphTable GLYPHS = [] {
        cp850::GlyphTable glyphs;
        for (int byte = 0; byte < 256; ++byte)
            glyphs[byte] = byte < 32 || byte == 127 ? std::string("?") : std::string(1, static_cast<char>(byte));
        return glyphs;
    }();
    TextCharset charset;
    charset.utf8 = false;
    charset.holdsByte.fill(true);
    charset.glyphs = &GLYPHS;
    return charset;
}

}  // namespace platform
