#pragma once
#include <array>
#include <string>
#include <string_view>

#include "console/ScreenCell.h"

// What the console needs of the system's terminal: its mode, its size, the
// frame shown on it, the keys typed and the waits between them. The console
// names these calls; each system's folder under platform/ makes them (the
// tests link a scripted stand-in), so the console never reaches into a
// platform.
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

// Keyboard, in the codes of the console runtime (console/Keys.h): a prefix
// then a second code for extended keys.
bool keyWaiting();                     // never blocks
WaitResult waitForKey(int timeoutMs);  // timeoutMs < 0: no limit
int takeKey();                         // only after keyWaiting() or KeyReady

// Sleeps; wakes early only when the screen must be repainted.
WaitResult sleepFor(int milliseconds);
long long monotonicMilliseconds();

}  // namespace platform
