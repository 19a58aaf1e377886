#pragma once
#include <string>
#include <string_view>
#include <vector>

class ConsoleScreen;

// The key codes of the Windows console runtime, which the whole program is
// written against: ordinary keys are their code page 850 byte, extended keys
// are a prefix (0 or 224) followed by a second code. The program acts on the
// second code alone, so F1 and ';' are the same key (59), F2 and '<' (60).
namespace keys {

constexpr int CTRL_A = 1;
constexpr int BACKSPACE = 8;
constexpr int TAB = 9;
constexpr int ENTER = 13;
constexpr int ESCAPE = 27;
constexpr int DELETE_CHARACTER = 127;  // the byte some terminals send for Backspace

// The prefixes of extended keys: function keys F1..F10, then the cursor block and F11/F12.
constexpr int FUNCTION_KEY_PREFIX = 0;
constexpr int CURSOR_BLOCK_PREFIX = 224;

// Second codes of extended keys.
constexpr int F1 = 59;
constexpr int F2 = 60;
constexpr int F10 = 68;
constexpr int F11 = 133;
constexpr int F12 = 134;
constexpr int HOME = 71;
constexpr int UP = 72;
constexpr int PAGE_UP = 73;
constexpr int LEFT = 75;
constexpr int RIGHT = 77;
constexpr int END = 79;
constexpr int DOWN = 80;
constexpr int PAGE_DOWN = 81;
constexpr int INSERT = 82;
constexpr int DEL = 83;  // DELETE is a macro of the Windows headers

constexpr bool isExtendedPrefix(int code) { return code == FUNCTION_KEY_PREFIX || code == CURSOR_BLOCK_PREFIX; }

// Second code of function key F<number> (1..12), and the prefix it comes after.
constexpr int functionKey(int number) { return number <= 10 ? F1 - 1 + number : F11 - 11 + number; }
constexpr int functionKeyPrefix(int number) { return number <= 10 ? FUNCTION_KEY_PREFIX : CURSOR_BLOCK_PREFIX; }

// One key press: its code, which for an extended key is the second code.
struct KeyPress {
    int code;
    bool extended;
};

// Reads one key press, both codes of an extended key.
KeyPress readKey(ConsoleScreen& screen);

// The notation for key sequences in tests and documentation: plain text
// stands for its bytes, names in angle brackets for keys - <Enter>, <Esc>,
// <Bksp>, <Tab>, <F1>..<F12> (<F1> is 0 then 59), <Up>, <Down>, <Left>,
// <Right>, <Home>, <End>, <PgUp>, <PgDn>, <Ins>, <Del>, <lt> for a literal
// '<', <#N> for the single code N (0..255).
// Throws std::invalid_argument on an unknown name or an unclosed bracket.
std::vector<int> parseNotation(std::string_view text);
// The reverse: parseNotation(formatNotation(codes)) == codes for codes 0..255.
std::string formatNotation(const std::vector<int>& codes);

}  // namespace keys

// What a typed character gives the program, whichever keyboard it came from
// (terminal bytes, Windows console events).
namespace keys {

// The key codes (console/Keys.h) of one typed character: Enter for CR and
// LF, Backspace for BS and DEL, the code page 850 byte of a character the
// code page has, its plain form as one key a character where it lacks it,
// and nothing where there is neither.
std::string codesForTypedCharacter(char32_t codePoint);

}  // namespace keys
