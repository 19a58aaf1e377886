#include "support/ScriptedPlatform.h"

#include <stdexcept>

namespace scripted {

namespace {
// When the script has run dry the program sees Escape, as at the end of
// input; a program that still wants keys long after that is stuck.
constexpr int MAX_KEYS_AFTER_SCRIPT_END = 200;
}  // namespace

State& state() {
    static State current;
    return current;
}

void reset() { state() = State{}; }

void typeKeyAt(long long availableAtMs, int code) { state().keys.push_back({code, availableAtMs}); }
void typeKey(int code) { typeKeyAt(0, code); }
void typeKeys(const std::string& text) {
    for (unsigned char character : text) typeKey(character);
}
void typeF1() {
    typeKey(0);
    typeKey(59);
}
void typeF2() {
    typeKey(0);
    typeKey(60);
}

}  // namespace scripted

namespace platform {

using scripted::state;

void open() { ++state().openCount; }
void close() { ++state().closeCount; }
bool outputIsTerminal() { return state().terminal; }
TerminalSize terminalSize() { return state().terminal ? state().size : TerminalSize{}; }
void present(const FrameView&) { ++state().presentCount; }
void writeThrough(std::string_view bytes) { state().passedThrough.append(bytes); }
void setWindowTitle(std::string_view titleCp850) { state().title = std::string(titleCp850); }
void requestWindowSize(int columns, int rows) { state().requestedSize = {columns, rows}; }

bool keyWaiting() {
    auto& keys = state().keys;
    return keys.empty() || keys.front().availableAtMs <= state().nowMs;
}

WaitResult waitForKey(int timeoutMs) {
    auto& current = state();
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
        return 27;
    }
    const int code = current.keys.front().code;
    current.keys.pop_front();
    return code;
}

WaitResult sleepFor(int milliseconds) {
    auto& current = state();
    current.sleeps.push_back(milliseconds);
    if (current.onSleep) current.onSleep(milliseconds);
    current.nowMs += milliseconds;
    return WaitResult::Timeout;
}

long long monotonicMilliseconds() { return state().nowMs; }

CalendarDate today() { return {2026, 12, 7}; }

PrintResult printText(std::string_view utf8Text, std::string_view jobTitle) {
    state().printRequests.push_back({std::string(utf8Text), std::string(jobTitle)});
    if (!state().printSucceeds) return {PrintOutcome::Refused, state().printFailureReason};
    return {PrintOutcome::Accepted, {}};
}

}  // namespace platform
