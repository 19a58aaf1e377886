#pragma once
#include <array>
#include <string>
#include <string_view>

#include "console/ScreenCell.h"
#include "console/TextCharset.h"

// What a system must give the console and the command line: terminal, keys,
// printing, calendar, character set. (Its file calls: FilePrimitives.h.)
// Exactly one implementation is linked: the terminal (src/platform/posix),
// the Windows console (src/platform/windows) or the scripted stand-in of the
// tests.
namespace platform {

struct TerminalSize {
    int columns = 0;
    int rows = 0;
};

enum class WaitResult { KeyReady, Timeout, Repaint };

// Puts the terminal into the program's mode (raw keys, signal handling).
// Safe to call more than once.
void open();
// Gives the terminal back as it was found. Safe to call more than once.
void close();
// For a task of the command line, which leaves the terminal as it is:
// Ctrl+C, SIGTERM and SIGHUP (on Windows Ctrl+C and closing the window) end
// the program through the same undoing as the screens (system/ExitCleanup).
void endThroughCleanupOnInterrupt();

// False when standard output is not a terminal: it then gets plain text.
bool outputIsTerminal();
// Whether standard error is a terminal, where progress may be shown.
bool errorIsTerminal();
// False, after saying why on standard error, when standard output is a
// terminal that cannot place the cursor. Checked once, before open().
bool canShowScreens();
TerminalSize terminalSize();

// Shows the frame on the terminal: only the cells that changed, in one write.
void present(const FrameView& frame);
// Plain text for an output that is not a terminal, written as it is.
void writeThrough(std::string_view bytes);
// How that text writes each code page 850 byte, in the output's character
// set; nullptr for UTF-8. Valid once open() ran.
const std::array<std::string, 256>* plainTextGlyphs();

void setWindowTitle(std::string_view titleCp850);
void requestWindowSize(int columns, int rows);

// False, with a message on standard error where there is one, when standard
// input, output or error is closed: whatever the program opened next would
// take its place.
bool standardStreamsOpen();

// Keyboard, in the codes of the console runtime (console/Keys.h): a prefix
// then a second code for extended keys.
bool keyWaiting();                     // never blocks
WaitResult waitForKey(int timeoutMs);  // timeoutMs < 0: no limit
int takeKey();                         // only after keyWaiting() or KeyReady

// Sleeps; wakes early only when the screen must be repainted.
WaitResult sleepFor(int milliseconds);
long long monotonicMilliseconds();

struct CalendarDate {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // 1 to 31
};
// The local date, for what the program dates (printed lists).
CalendarDate today();

enum class PrintOutcome { Accepted, Refused, NotConfirmed };
struct PrintResult {
    PrintOutcome outcome = PrintOutcome::Refused;
    // Why it was refused or not confirmed: the printing system's first error
    // line, or the program's own words when it never answered. UTF-8.
    std::string reason;
};
// Hands a job of UTF-8 text to the printing system. Returns within a few
// seconds, whatever the printing system does.
PrintResult printText(std::string_view utf8Text, std::string_view jobTitle);

// The locale's set on a terminal system, code page 850 on Windows.
TextCharset textCharset();

}  // namespace platform
