#pragma once
#include <string>

// The key codes (console/Keys.h) for the keyboard events of the Windows
// console, read as Unicode. Plain C++ so that it is tested on every system.
namespace console_keys {

// Windows' virtual-key codes of the keys the program knows by them.
constexpr int VIRTUAL_PAGE_UP = 0x21;
constexpr int VIRTUAL_PAGE_DOWN = 0x22;
constexpr int VIRTUAL_END = 0x23;
constexpr int VIRTUAL_HOME = 0x24;
constexpr int VIRTUAL_LEFT = 0x25;
constexpr int VIRTUAL_UP = 0x26;
constexpr int VIRTUAL_RIGHT = 0x27;
constexpr int VIRTUAL_DOWN = 0x28;
constexpr int VIRTUAL_INSERT = 0x2D;
constexpr int VIRTUAL_DELETE = 0x2E;
constexpr int VIRTUAL_F1 = 0x70;
constexpr int VIRTUAL_F12 = 0x7B;

// What the program needs of a KEY_EVENT_RECORD.
struct KeyEvent {
    bool keyDown = true;
    int repeatCount = 1;
    int virtualKeyCode = 0;
    char16_t character = 0;  // uChar.UnicodeChar; 0 for a key without one
    bool altWithoutCtrl = false;  // Alt held, not as AltGr (which is Ctrl+Alt)
};

// The codes of one event: a typed character as console/TypedKeys.h gives
// it, a function or cursor key as its prefix and second code, each as often
// as the event repeats it; nothing for a key up, a modifier, a dead key,
// Alt with a character key (as on a terminal), or half of a surrogate pair
// (no character beyond the first plane has a plain form).
std::string codesFor(const KeyEvent& event);

}  // namespace console_keys
