#include "platform/Platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/ioctl.h>
#include <time.h>
#include <unistd.h>

#include "console/KeyDecoder.h"
#include "console/Keys.h"
#include "console/TerminalRenderer.h"
#include "platform/posix/LocaleCharset.h"
#include "platform/posix/SignalEvents.h"
#include "platform/posix/TerminalInput.h"
#include "platform/posix/TerminalModes.h"
#include "system/ExitCleanup.h"

namespace platform {

namespace {

KeyDecoder decoder;
TerminalRenderer renderer;
bool inputEnded = false;
bool opened = false;

constexpr int OUTPUT_READY_WAIT_MS = 1000;

// A write that fails for good means the terminal (or the pipe's reader) is
// gone: with no one to show anything to, the program ends at once, leaving
// no temporary file and giving back the terminal modes where one is left.
[[noreturn]] void endForLostOutput() {
    exit_cleanup::runAll();
    ::_exit(1);
}

void writeToTerminal(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
        if (written > 0) {
            bytes.remove_prefix(static_cast<std::size_t>(written));
        } else if (written < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd output{STDOUT_FILENO, POLLOUT, 0};
            ::poll(&output, 1, OUTPUT_READY_WAIT_MS);
        } else if (written == 0 || errno != EINTR) {
            endForLostOutput();
        }
    }
}

// Reads what standard input holds now; ends the input on end of file or error.
void readAvailableInput() {
    char buffer[4096];
    const ssize_t count = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (count > 0) {
        decoder.feed(std::string_view(buffer, static_cast<size_t>(count)), monotonicMilliseconds());
    } else if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
        inputEnded = true;
        decoder.endOfInput();
    }
}

enum class Wake { Input, Signal, Timeout };

// The one place the program waits: in the kernel, for input, a signal or time.
Wake waitInKernel(bool watchInput, int timeoutMs) {
    pollfd descriptors[2] = {{signal_events::wakeDescriptor(), POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
    const nfds_t count = watchInput ? 2 : 1;
    const int ready = ::poll(descriptors, count, timeoutMs);
    if (ready <= 0) return ready == 0 ? Wake::Timeout : Wake::Signal;
    if (descriptors[0].revents != 0) return Wake::Signal;
    return Wake::Input;
}

// Until the deadline, or sooner when a pending Escape completes then.
int untilDeadlineOrEscape(long long now, long long deadline) {
    const int untilEscape = decoder.millisecondsUntilExpiry(now);
    const long long wait = untilEscape >= 0 ? std::min<long long>(untilEscape, deadline - now) : deadline - now;
    return static_cast<int>(std::max(0LL, wait));
}

bool repaintRequested() {
    if (!signal_events::takeRepaintRequest()) return false;
    renderer.invalidate();
    return true;
}

}  // namespace

void open() {
    if (opened) return;
    opened = true;
    decoder = KeyDecoder({.fromTerminal = terminal_modes::inputIsTerminal(),
                          .escapeDelayMs = KeyDecoder::escapeDelayFrom(std::getenv("ESCDELAY"))});
    signal_events::install();
    const LocaleCharset& charset = LocaleCharset::ofEnvironment();
    if (!charset.isUtf8()) {
        renderer.useGlyphs(&charset.glyphs());
        decoder.useSingleByteCharacters(&charset.typedCharacters());
    }
    exit_cleanup::add(terminal_modes::restoreTerminal);
    terminal_modes::enterProgramModes();
    renderer.invalidate();
}

void close() { terminal_modes::restoreTerminal(); }

void endThroughCleanupOnInterrupt() { signal_events::installEnding(); }

bool outputIsTerminal() { return terminal_modes::outputIsTerminal(); }

bool canShowScreens() {
    if (!outputIsTerminal()) return true;  // plain text needs no cursor
    const char* term = std::getenv("TERM");
    const std::string_view name = term != nullptr ? term : "";
    // The names a terminal without cursor addressing goes by.
    if (!name.empty() && name != "dumb" && name != "unknown") return true;
    const std::string what = name.empty() ? "TERM ist nicht gesetzt" : "TERM=" + std::string(name);
    const std::string message =
        "dvdverwaltung: dieses Terminal (" + what + ") kann den Cursor nicht setzen.\n"
        "Die Masken brauchen ein Terminal, das den Cursor setzen kann (etwa TERM=xterm).\n"
        "Mit Ausgabe in eine Datei oder Pipe schreibt das Programm reinen Text.\n";
    ssize_t ignored = ::write(STDERR_FILENO, message.data(), message.size());
    (void)ignored;
    return false;
}

TerminalSize terminalSize() {
    winsize size{};
    if (::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_col == 0 || size.ws_row == 0) return {};
    return {size.ws_col, size.ws_row};
}

void present(const FrameView& frame) { writeToTerminal(renderer.render(frame)); }

void writeThrough(std::string_view bytes) { writeToTerminal(bytes); }

const std::array<std::string, 256>* plainTextGlyphs() {
    const LocaleCharset& charset = LocaleCharset::ofEnvironment();
    return charset.isUtf8() ? nullptr : &charset.glyphs();
}

void setWindowTitle(std::string_view titleCp850) {
    std::string sequence = "\x1b]2;";
    for (unsigned char byte : titleCp850)
        if (byte >= 32 && byte != 127) sequence += LocaleCharset::ofEnvironment().glyph(byte);
    sequence += "\x07";
    terminal_modes::setTitleSequence(sequence);
}

// Not asked of a terminal: most ignore it, and those that obey would resize
// the user's window behind their back. The screen follows any window size.
void requestWindowSize(int, int) {}

bool keyWaiting() {
    if (decoder.hasKey() || inputEnded) return true;
    if (waitInKernel(true, 0) == Wake::Input) readAvailableInput();
    decoder.expire(monotonicMilliseconds());
    return decoder.hasKey() || inputEnded;
}

WaitResult waitForKey(int timeoutMs) {
    const long long deadline = monotonicMilliseconds() + timeoutMs;
    for (;;) {
        if (decoder.hasKey() || inputEnded) return WaitResult::KeyReady;
        const long long now = monotonicMilliseconds();
        int wait = timeoutMs < 0 ? -1 : static_cast<int>(std::max(0LL, deadline - now));
        const int untilEscape = decoder.millisecondsUntilExpiry(now);
        if (untilEscape >= 0 && (wait < 0 || untilEscape < wait)) wait = untilEscape;
        const Wake wake = waitInKernel(true, wait);
        if (wake == Wake::Signal && repaintRequested()) return WaitResult::Repaint;
        if (wake == Wake::Input) readAvailableInput();
        decoder.expire(monotonicMilliseconds());
        if (!decoder.hasKey() && timeoutMs >= 0 && monotonicMilliseconds() >= deadline) return WaitResult::Timeout;
    }
}

int takeKey() {
    if (decoder.hasKey()) return decoder.takeKey();
    return keys::ESCAPE;  // input has ended: every further key is Escape, so the menus unwind
}

// Keys typed meanwhile are read as they come: read together afterwards, an
// Escape and the key after it would look like one Alt+key.
WaitResult sleepFor(int milliseconds) {
    const long long deadline = monotonicMilliseconds() + milliseconds;
    for (;;) {
        const long long now = monotonicMilliseconds();
        if (now >= deadline) return WaitResult::Timeout;
        const Wake wake = waitInKernel(!inputEnded, untilDeadlineOrEscape(now, deadline));
        if (wake == Wake::Signal && repaintRequested()) return WaitResult::Repaint;
        if (wake == Wake::Input) readAvailableInput();
        decoder.expire(monotonicMilliseconds());
    }
}

long long monotonicMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

}  // namespace platform

namespace terminal_input {

int descriptor() { return platform::opened && !platform::inputEnded ? STDIN_FILENO : -1; }

int limitWait(int milliseconds) {
    if (!platform::opened) return milliseconds;
    const int untilEscape = platform::decoder.millisecondsUntilExpiry(platform::monotonicMilliseconds());
    return untilEscape >= 0 && (milliseconds < 0 || untilEscape < milliseconds) ? untilEscape : milliseconds;
}

void takeAvailable() {
    if (!platform::opened) return;
    if (descriptor() >= 0 && platform::waitInKernel(true, 0) == platform::Wake::Input) platform::readAvailableInput();
    platform::decoder.expire(platform::monotonicMilliseconds());
}

}  // namespace terminal_input

namespace platform {

CalendarDate today() {
    const time_t now = ::time(nullptr);
    struct tm local {};
    if (::localtime_r(&now, &local) == nullptr) return {};
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

namespace {

bool isClosed(int descriptor) { return ::fcntl(descriptor, F_GETFD) == -1 && errno == EBADF; }

}  // namespace

bool standardStreamsOpen() {
    static const char* const NAMES[] = {"Standardeingabe", "Standardausgabe", "Standardfehlerausgabe"};
    bool allOpen = true;
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (!isClosed(descriptor)) continue;
        allOpen = false;
        if (isClosed(STDERR_FILENO)) continue;  // nowhere to say it
        const std::string message = std::string("dvdverwaltung: ") + NAMES[descriptor] + " ist geschlossen.\n";
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, message.data(), message.size());
    }
    return allOpen;
}

bool errorIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace platform
