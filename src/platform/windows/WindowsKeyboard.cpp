// Keys and time: the console's keyboard events, read as Unicode, become the
// key codes the program uses (console/Keys.h); characters go through the
// program's own code page 850 table, so no code page of the console matters.
#define WIN32_LEAN_AND_MEAN
#define NOMINMAX
#include <windows.h>

#include <algorithm>
#include <array>
#include <deque>

#include "console/Keys.h"
#include "platform/Platform.h"
#include "platform/windows/ConsoleKeyEvents.h"

namespace platform {

namespace {

static_assert(console_keys::VIRTUAL_PAGE_UP == VK_PRIOR &&
              console_keys::VIRTUAL_PAGE_DOWN == VK_NEXT && console_keys::VIRTUAL_END == VK_END &&
              console_keys::VIRTUAL_HOME == VK_HOME && console_keys::VIRTUAL_LEFT == VK_LEFT &&
              console_keys::VIRTUAL_UP == VK_UP && console_keys::VIRTUAL_RIGHT == VK_RIGHT &&
              console_keys::VIRTUAL_DOWN == VK_DOWN && console_keys::VIRTUAL_INSERT == VK_INSERT &&
              console_keys::VIRTUAL_DELETE == VK_DELETE && console_keys::VIRTUAL_F1 == VK_F1 &&
              console_keys::VIRTUAL_F12 == VK_F12);

constexpr DWORD EVENTS_PER_READ = 16;
constexpr DWORD IDLE_STEP_MS = 10;

HANDLE consoleInput = INVALID_HANDLE_VALUE;
bool inputChecked = false;
bool inputEnded = false;
std::deque<unsigned char> pendingCodes;

// The console's keyboard, whatever standard input was redirected from.
// Without one (started detached, or under a service) there is nothing to
// wait for; like the end of input on a terminal, every key is then Escape,
// so the menus unwind and the program ends.
bool noKeyboard() {
    if (!inputChecked) {
        inputChecked = true;
        consoleInput = ::CreateFileA("CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
        DWORD mode = 0;
        if (consoleInput == INVALID_HANDLE_VALUE || ::GetConsoleMode(consoleInput, &mode) == 0) inputEnded = true;
    }
    return inputEnded;
}

console_keys::KeyEvent keyEventOf(const KEY_EVENT_RECORD& record) {
    const DWORD state = record.dwControlKeyState;
    const bool alt = (state & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0;
    const bool ctrl = (state & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0;
    console_keys::KeyEvent event;
    event.keyDown = record.bKeyDown != FALSE;
    event.repeatCount = record.wRepeatCount;
    event.virtualKeyCode = record.wVirtualKeyCode;
    event.character = static_cast<char16_t>(record.uChar.UnicodeChar);
    event.altWithoutCtrl = alt && !ctrl;
    return event;
}

// Takes the events waiting in the console, waiting up to timeoutMs
// (INFINITE: until one comes) for the first. Focus, mouse and size events
// are taken too and give no key. Only a console that is gone ends the input.
void takeEvents(DWORD timeoutMs) {
    const DWORD waited = ::WaitForSingleObject(consoleInput, timeoutMs);
    if (waited == WAIT_TIMEOUT) return;
    DWORD waiting = 0;
    if (waited != WAIT_OBJECT_0 || ::GetNumberOfConsoleInputEvents(consoleInput, &waiting) == 0) {
        inputEnded = true;
        return;
    }
    // Signalled with nothing to take: a moment's pause keeps a wait from spinning.
    if (waiting == 0) ::Sleep(IDLE_STEP_MS);
    while (waiting > 0) {
        std::array<INPUT_RECORD, EVENTS_PER_READ> records{};
        DWORD read = 0;
        if (::ReadConsoleInputW(consoleInput, records.data(), std::min(waiting, EVENTS_PER_READ), &read) == 0) {
            inputEnded = true;
            return;
        }
        for (DWORD i = 0; i < read; ++i) {
            if (records[i].EventType != KEY_EVENT) continue;
            for (const char code : console_keys::codesFor(keyEventOf(records[i].Event.KeyEvent)))
                pendingCodes.push_back(static_cast<unsigned char>(code));
        }
        waiting -= std::min(waiting, read);
    }
}

}  // namespace

bool keyWaiting() {
    if (noKeyboard()) return true;
    if (pendingCodes.empty()) takeEvents(0);
    return !pendingCodes.empty() || inputEnded;
}

WaitResult waitForKey(int timeoutMs) {
    // With no limit the wait happens in takeKey, which blocks without using
    // the processor. A console window keeps its contents when resized, so no
    // repaint is ever requested.
    if (timeoutMs < 0 || keyWaiting()) return WaitResult::KeyReady;
    const long long deadline = monotonicMilliseconds() + timeoutMs;
    for (;;) {
        const long long remaining = deadline - monotonicMilliseconds();
        if (remaining <= 0) return WaitResult::Timeout;
        takeEvents(static_cast<DWORD>(remaining));
        if (!pendingCodes.empty() || inputEnded) return WaitResult::KeyReady;
    }
}

int takeKey() {
    while (pendingCodes.empty() && !noKeyboard()) takeEvents(INFINITE);
    if (pendingCodes.empty()) return keys::ESCAPE;
    const int code = pendingCodes.front();
    pendingCodes.pop_front();
    return code;
}

WaitResult sleepFor(int milliseconds) {
    if (milliseconds > 0) ::Sleep(static_cast<DWORD>(milliseconds));
    return WaitResult::Timeout;
}

long long monotonicMilliseconds() { return static_cast<long long>(::GetTickCount64()); }

}  // namespace platform
