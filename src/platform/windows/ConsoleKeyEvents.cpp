#include "platform/windows/ConsoleKeyEvents.h"

#include <algorithm>

#include "console/Keys.h"

namespace console_keys {

namespace {

// A wRepeatCount is a 16-bit count; held keys are never worth more than this.
constexpr int MAX_REPEAT = 64;

std::string extended(int prefix, int secondCode) {
    return {static_cast<char>(prefix), static_cast<char>(secondCode)};
}

std::string cursorBlock(int secondCode) { return extended(keys::CURSOR_BLOCK_PREFIX, secondCode); }

std::string codesOfKeyWithoutCharacter(int virtualKeyCode) {
    if (virtualKeyCode >= VIRTUAL_F1 && virtualKeyCode <= VIRTUAL_F12) {
        const int number = virtualKeyCode - VIRTUAL_F1 + 1;
        return extended(keys::functionKeyPrefix(number), keys::functionKey(number));
    }
    switch (virtualKeyCode) {
    case VIRTUAL_HOME: return cursorBlock(keys::HOME);
    case VIRTUAL_UP: return cursorBlock(keys::UP);
    case VIRTUAL_PAGE_UP: return cursorBlock(keys::PAGE_UP);
    case VIRTUAL_LEFT: return cursorBlock(keys::LEFT);
    case VIRTUAL_RIGHT: return cursorBlock(keys::RIGHT);
    case VIRTUAL_END: return cursorBlock(keys::END);
    case VIRTUAL_DOWN: return cursorBlock(keys::DOWN);
    case VIRTUAL_PAGE_DOWN: return cursorBlock(keys::PAGE_DOWN);
    case VIRTUAL_INSERT: return cursorBlock(keys::INSERT);
    case VIRTUAL_DELETE: return cursorBlock(keys::DEL);
    default: return {};  // Shift, Ctrl, Caps Lock, a dead key, ...
    }
}

bool isSurrogate(char16_t character) { return character >= 0xD800 && character <= 0xDFFF; }

std::string codesOfOnePress(const KeyEvent& event) {
    // Function and cursor keys count whatever modifiers are held, as on a terminal.
    if (event.character == 0) return codesOfKeyWithoutCharacter(event.virtualKeyCode);
    if (isSurrogate(event.character)) return {};
    if (event.altWithoutCtrl) return {};
    return keys::codesForTypedCharacter(event.character);
}

}  // namespace

std::string codesFor(const KeyEvent& event) {
    // A release gives nothing: wine's carry the character of the key pressed before.
    if (!event.keyDown) return {};
    const std::string once = codesOfOnePress(event);
    std::string codes;
    for (int i = std::clamp(event.repeatCount, 1, MAX_REPEAT); i > 0; --i) codes += once;
    return codes;
}

}  // namespace console_keys
