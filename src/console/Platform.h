#pragma once
#include <array>
#include <string>
#include <string_view>

#include "console/ScreenCell.h"

// The operating system below the virtual console. Exactly one implementation
// is linked: the terminal (src/console/posix), the Windows console
// (src/console/windows) or the scripted stand-in of the tests.
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

// False when standard output is not a terminal: it then gets plain text.
bool outputIsTerminal();
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

// Hands a file to the printing system. False, with a reason, when it refused.
bool printFile(const std::string& fileName, std::string& failureReason);

}  // namespace platform
