#include "platform/posix/TerminalModes.h"

#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <string_view>

#include "platform/posix/WriteAll.h"

namespace terminal_modes {

namespace {

termios originalInputModes{};
volatile sig_atomic_t inputModesSaved = 0;
volatile sig_atomic_t inputModesChanged = 0;
volatile sig_atomic_t outputModesChanged = 0;

// The user's window title saved, the alternate screen (so the shell's screen
// comes back at the end), whole-screen addressing, autowrap off, so the last
// cell of the last row can be drawn without scrolling.
constexpr std::string_view ENTER_OUTPUT_MODES = "\x1b[22;0t\x1b[?1049h\x1b[r\x1b[?6l\x1b[?7l";
// Colours reset, autowrap and cursor back on, the shell's screen and cursor
// back, the user's window title back.
constexpr std::string_view RESTORE_OUTPUT_MODES = "\x1b[0m\x1b[?7h\x1b[?25h\x1b[?1049l\x1b[23;0t";

// Kept ready as bytes, so that a resume in a signal handler can set it again.
char titleSequence[512];
volatile sig_atomic_t titleLength = 0;

void writeAll(std::string_view bytes) { posix::writeAll(STDOUT_FILENO, bytes); }

}  // namespace

bool inputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }
bool outputIsTerminal() { return ::isatty(STDOUT_FILENO) == 1; }

void enterProgramModes() {
    if (!inputModesChanged && inputIsTerminal()) {
        if (!inputModesSaved && ::tcgetattr(STDIN_FILENO, &originalInputModes) == 0) inputModesSaved = 1;
        if (inputModesSaved) {
            termios raw = originalInputModes;
            // Keys one by one, unechoed; Ctrl+C and Ctrl+Z keep their signals.
            raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | IEXTEN);
            raw.c_iflag &= ~static_cast<tcflag_t>(IXON | ICRNL | INLCR | IGNCR | ISTRIP);
            raw.c_cc[VMIN] = 1;
            raw.c_cc[VTIME] = 0;
            // No flush: keys typed ahead, or while the program was stopped, count.
            if (::tcsetattr(STDIN_FILENO, TCSANOW, &raw) == 0) inputModesChanged = 1;
        }
    }
    if (!outputModesChanged && outputIsTerminal()) {
        writeAll(ENTER_OUTPUT_MODES);
        writeAll(std::string_view(titleSequence, static_cast<size_t>(titleLength)));
        outputModesChanged = 1;
    }
}

void setTitleSequence(std::string_view sequence) {
    titleLength = 0;
    const size_t length = std::min(sequence.size(), sizeof titleSequence);
    std::memcpy(titleSequence, sequence.data(), length);
    titleLength = static_cast<sig_atomic_t>(length);
    if (outputModesChanged) writeAll(std::string_view(titleSequence, length));
}

void restoreTerminal() {
    if (inputModesChanged) {
        inputModesChanged = 0;
        ::tcsetattr(STDIN_FILENO, TCSADRAIN, &originalInputModes);
    }
    if (outputModesChanged) {
        outputModesChanged = 0;
        writeAll(RESTORE_OUTPUT_MODES);
    }
}

}  // namespace terminal_modes
