#pragma once
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

// The stand-in for the terminal in in-process tests: keys come from a script,
// time is a virtual clock that pauses advance, requests to the system are
// recorded.
namespace scripted {

struct ScriptedKey {
    int code;
    long long availableAtMs;
    // When not negative: the key comes this long after the one before it was
    // taken, whenever that was (availableAtMs is then set at that moment).
    int followsByMs = -1;
};

// What the terminal shows: the cells of the last frame presented.
struct Shown {
    std::vector<ScreenCell> cells;  // rows * columns, row-major
    int rows = 0;
    int columns = 0;
    int cursorRow = 0;  // on the terminal
    int cursorColumn = 0;
};

struct State {
    std::deque<ScriptedKey> keys;
    long long nowMs = 0;
    bool terminal = true;
    platform::TerminalSize size{80, 49};
    std::vector<std::string> events;       // "title T", "window CxR", "pause MS", "print TITLE"
    bool printSucceeds = true;
    platform::CalendarDate today{2026, 12, 7};
    Shown shown;
    std::optional<Shown> shownAtFirstPrint;  // what the terminal showed while the first job was handed over
    std::string passedThrough;  // text for an output that is not a terminal
    int keysReadAfterScriptEnd = 0;
    std::function<void(int milliseconds)> onSleep;  // sees the screen during a pause
    std::function<void()> onTakeKey;  // before every key the program takes (files can be checked)
    // The program stops: it pauses, or waits for a key not yet typed.
    std::function<void(bool pausing)> onStop;
};

State& state();
void reset();

void typeKeyAt(long long availableAtMs, int code);

}  // namespace scripted
