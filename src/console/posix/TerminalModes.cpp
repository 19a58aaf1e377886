#include "console/posix/TerminalModes.h"

#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <string_view>

#include "console/posix/WriteAll.h"

namespace terminal_modes {

namespace {

termios originalInputModes{};
volatile sig_atomic_t inputModesSaved = 0;
volatile sig_atomic_t inputModesChanged = 0;
volatile sig_atomic_t outputModesChanged = 0;

// The window title saved, whole-screen addressing, autowrap off, so the last cell of the last row can be drawn without scrolling.
constexpr std::string_view ENTER_OUTPUT_MODES = "\x1b[22;0t\x1b[r\x1b[?6l\x1b[?7l";
// Colours reset, autowrap and cursor back on, the saved window title back,
// cursor on a fresh line below the screen.
constexpr std::string_view RESTORE_OUTPUT_MODES = "\x1b[0m\x1b[?7h\x1b[?25h\x1b[23;0t\x1b[999;1H\r\n";

}  // namespace

bool inputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }
bool outputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

void enterProgramModes() {
    if (inputIsTerminal()) {
        if (!inputModesSaved && ::tcgetattr(STDIN_FILENO, &originalInputModes) == 0) inputModesSaved = 1;
        if (inputModesSaved) {
            termios raw = originalInputModes;
            // Keys one by one, unechoed; Ctrl+C and Ctrl+Z keep their signals.
            raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
            raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR | ISTRIP);
            raw.c_cc[VMIN] = 1;
            raw.c_cc[VTIME] = 0;
            if (::tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) == 0) inputModesChanged = 1;
        }
    }
    if (outputIsTerminal()) {
        posix::writeAll(STDOUT_FILENO, ENTER_OUTPUT_MODES);
        outputModesChanged = 1;
    }
}

void restoreTerminal() {
    if (inputModesChanged) {
        inputModesChanged = 0;
        ::tcsetattr(STDIN_FILENO, TCSADRAIN, &originalInputModes);
    }
    if (outputModesChanged) {
        outputModesChanged = 0;
        posix::writeAll(STDOUT_FILENO, RESTORE_OUTPUT_MODES);
    }
}

}  // namespace terminal_modes
