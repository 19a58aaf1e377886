#include "support/ScriptedPlatform.h"

#include <stdexcept>

namespace scripted {

namespace {
// When the script has run dry the program sees Escape, as at the end of
// input; a program that still wants keys long after that is stuck.
constexpr int MAX_KEYS_AFTER_SCRIPT_END = 200;
constexpr int KEY_ESCAPE = 27;

void stop(bool pausing) {
    if (state().onStop) state().onStop(pausing);
}
}  // namespace

State& state() {
    static State current;
    return current;
}

void reset() { state() = State{}; }

void typeKeyAt(long long availableAtMs, int code) { state().keys.push_back({code, availableAtMs}); }

}  // namespace scripted

namespace platform {

using scripted::state;

void open() {}
void close() {}
void endThroughCleanupOnInterrupt() {}
bool outputIsTerminal() { return state().terminal; }
bool errorIsTerminal() { return false; }
TerminalSize terminalSize() { return state().terminal ? state().size : TerminalSize{}; }
void present(const FrameView& frame) {
    scripted::Shown& shown = state().shown;
    shown = {{}, frame.viewRows, frame.viewColumns, frame.cursorRow - frame.viewTop, frame.cursorColumn - frame.viewLeft};
    for (int row = frame.viewTop; row < frame.viewTop + frame.viewRows; ++row) {
        for (int column = frame.viewLeft; column < frame.viewLeft + frame.viewColumns; ++column) {
            const bool inBuffer = row < frame.bufferHeight && column < frame.bufferWidth;
            shown.cells.push_back(inBuffer ? frame.cells[row * frame.bufferWidth + column] : ScreenCell{});
        }
    }
}
void writeThrough(std::string_view bytes) { state().passedThrough.append(bytes); }
const std::array<std::string, 256>* plainTextGlyphs() { return nullptr; }
void setWindowTitle(std::string_view titleCp850) { state().events.push_back("title " + std::string(titleCp850)); }
void requestWindowSize(int columns, int rows) {
    state().events.push_back("window " + std::to_string(columns) + "x" + std::to_string(rows));
}

// After the script no key is waiting, so that a step in progress runs to its
// end; only a wait for a key gets Escape.
bool keyWaiting() {
    auto& keys = state().keys;
    return !keys.empty() && keys.front().availableAtMs <= state().nowMs;
}

WaitResult waitForKey(int timeoutMs) {
    auto& current = state();
    if (current.keys.empty() || current.keys.front().availableAtMs > current.nowMs) scripted::stop(false);
    if (current.keys.empty()) return WaitResult::KeyReady;
    const long long availableAt = current.keys.front().availableAtMs;
    if (availableAt <= current.nowMs) return WaitResult::KeyReady;
    if (timeoutMs >= 0 && availableAt > current.nowMs + timeoutMs) {
        current.nowMs += timeoutMs;
        return WaitResult::Timeout;
    }
    current.nowMs = availableAt;
    return WaitResult::KeyReady;
}

int takeKey() {
    auto& current = state();
    if (current.onTakeKey) current.onTakeKey();
    if (current.keys.empty()) {
        if (++current.keysReadAfterScriptEnd > scripted::MAX_KEYS_AFTER_SCRIPT_END)
            throw std::runtime_error("the program keeps reading keys after the script ended");
        return scripted::KEY_ESCAPE;
    }
    const int code = current.keys.front().code;
    current.keys.pop_front();
    if (!current.keys.empty() && current.keys.front().followsByMs >= 0)
        current.keys.front().availableAtMs = current.nowMs + current.keys.front().followsByMs;
    return code;
}

WaitResult sleepFor(int milliseconds) {
    auto& current = state();
    current.events.push_back("pause " + std::to_string(milliseconds));
    scripted::stop(true);
    if (current.onSleep) current.onSleep(milliseconds);
    current.nowMs += milliseconds;
    return WaitResult::Timeout;
}

long long monotonicMilliseconds() { return state().nowMs; }

CalendarDate today() { return state().today; }

PrintResult printText(std::string_view, std::string_view jobTitle) {
    state().events.push_back("print " + std::string(jobTitle));
    if (!state().shownAtFirstPrint) state().shownAtFirstPrint = state().shown;
    // Longer than a row, and in UTF-8 with characters code page 850 lacks.
    if (!state().printSucceeds)
        return {PrintOutcome::Refused, "lp: Fehler \xe2\x80\x93 Drucker \xe2\x80\x9e" "B\xc3\xbcro\xe2\x80\x9c nicht verf\xc3\xbc"
                                       "gbar; der Auftrag wurde weder angenommen noch gespeichert"};
    return {PrintOutcome::Accepted, {}};
}

}  // namespace platform
