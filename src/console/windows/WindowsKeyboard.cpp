// Keys and time: the console runtime's _kbhit/_getch give the key codes the
// program uses directly (console/Keys.h).
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>
#include <conio.h>

#include <algorithm>
#include <cstdio>

#include "console/Keys.h"
#include "console/Platform.h"

namespace platform {

namespace {

constexpr int FINITE_WAIT_STEP_MS = 10;

bool inputChecked = false;
bool inputEnded = false;

// Without a console keyboard (started detached, or under a service) _getch has
// nothing to wait for; like the end of input on a terminal, every key is then
// Escape, so the menus unwind and the program ends.
bool noKeyboard() {
    if (!inputChecked) {
        inputChecked = true;
        const HANDLE input = ::CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                           nullptr, OPEN_EXISTING, 0, nullptr);
        DWORD mode = 0;
        const bool console = input != INVALID_HANDLE_VALUE && ::GetConsoleMode(input, &mode) != 0;
        if (input != INVALID_HANDLE_VALUE) ::CloseHandle(input);
        if (!console) inputEnded = true;
    }
    return inputEnded;
}

}  // namespace

bool keyWaiting() { return noKeyboard() || _kbhit() != 0; }

WaitResult waitForKey(int timeoutMs) {
    // With no limit the wait happens in _getch (takeKey), which blocks without
    // using the processor. A console window keeps its contents when resized,
    // so no repaint is ever requested.
    if (timeoutMs < 0 || keyWaiting()) return WaitResult::KeyReady;
    const long long deadline = monotonicMilliseconds() + timeoutMs;
    for (;;) {
        const long long remaining = deadline - monotonicMilliseconds();
        if (remaining <= 0) return WaitResult::Timeout;
        ::Sleep(static_cast<DWORD>(std::min<long long>(remaining, FINITE_WAIT_STEP_MS)));
        if (keyWaiting()) return WaitResult::KeyReady;
    }
}

int takeKey() {
    if (noKeyboard()) return keys::ESCAPE;
    const int key = _getch();
    if (key < 0 || key > 0xFF) {
        inputEnded = true;
        return keys::ESCAPE;
    }
    return key;
}

WaitResult sleepFor(int milliseconds) {
    if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
    return WaitResult::Timeout;
}

long long monotonicMilliseconds() { return static_cast<long long>(::GetTickCount64()); }

}  // namespace platform
