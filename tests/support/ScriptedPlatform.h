#pragma once
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "console/Platform.h"

// The stand-in for the terminal in in-process tests: keys come from a script,
// time is a virtual clock that pauses advance, print requests are recorded.
namespace scripted {

struct ScriptedKey {
    int code;
    long long availableAtMs;
};

struct PrintRequest {
    std::string fileName;
};

struct State {
    std::deque<ScriptedKey> keys;
    long long nowMs = 0;
    bool terminal = true;
    platform::TerminalSize size{80, 49};
    std::vector<int> sleeps;                 // every pause requested, in ms
    std::vector<PrintRequest> printRequests;
    bool printSucceeds = true;
    std::string printFailureReason = "lp: keine Drucker";
    std::string title;
    platform::TerminalSize requestedSize;
    std::string passedThrough;               // plain text for an output that is not a terminal
    int presentCount = 0;
    int keysReadAfterScriptEnd = 0;
    std::function<void(int milliseconds)> onSleep;  // sees the screen during a pause
    std::function<void()> onTakeKey;  // before every key the program takes (files can be checked)
    int openCount = 0;
    int closeCount = 0;
};

State& state();
void reset();

// Keys typed ahead: available at once (or from availableAtMs on the virtual clock).
void typeKeys(const std::string& text);
void typeKey(int code);
void typeKeyAt(long long availableAtMs, int code);
// Extended keys as the console runtime gives them.
void typeF1();
void typeF2();

}  // namespace scripted
