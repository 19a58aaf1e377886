#include "console/Keys.h"

#include <array>
#include <charconv>
#include <stdexcept>

#include "console/ConsoleScreen.h"
#include "console/PlainForm.h"

namespace keys {

namespace {

struct NamedKey {
    std::string_view name;
    int prefix;  // -1 for a key of one code
    int code;
};

constexpr int SINGLE = -1;

constexpr std::array NAMED_KEYS{
    NamedKey{"Enter", SINGLE, ENTER},
    NamedKey{"Esc", SINGLE, ESCAPE},
    NamedKey{"Bksp", SINGLE, BACKSPACE},
    NamedKey{"Tab", SINGLE, TAB},
    NamedKey{"lt", SINGLE, '<'},
    NamedKey{"Home", CURSOR_BLOCK_PREFIX, HOME},
    NamedKey{"Up", CURSOR_BLOCK_PREFIX, UP},
    NamedKey{"PgUp", CURSOR_BLOCK_PREFIX, PAGE_UP},
    NamedKey{"Left", CURSOR_BLOCK_PREFIX, LEFT},
    NamedKey{"Right", CURSOR_BLOCK_PREFIX, RIGHT},
    NamedKey{"End", CURSOR_BLOCK_PREFIX, END},
    NamedKey{"Down", CURSOR_BLOCK_PREFIX, DOWN},
    NamedKey{"PgDn", CURSOR_BLOCK_PREFIX, PAGE_DOWN},
    NamedKey{"Ins", CURSOR_BLOCK_PREFIX, INSERT},
    NamedKey{"Del", CURSOR_BLOCK_PREFIX, DEL},
};

constexpr int HIGHEST_CODE = 255;
constexpr int FUNCTION_KEYS = 12;

// "F1".."F12"; 0 for any other name.
int functionKeyNumber(std::string_view name) {
    for (int number = 1; number <= FUNCTION_KEYS; ++number)
        if (name == "F" + std::to_string(number)) return number;
    return 0;
}

int parseCodeNumber(std::string_view digits) {
    int code = -1;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), code);
    if (digits.empty() || error != std::errc() || end != digits.data() + digits.size() || code < 0 ||
        code > HIGHEST_CODE)
        throw std::invalid_argument("bad key code: <#" + std::string(digits) + ">");
    return code;
}

void appendNamed(std::vector<int>& codes, std::string_view name) {
    if (name.starts_with('#')) {
        codes.push_back(parseCodeNumber(name.substr(1)));
        return;
    }
    if (const int number = functionKeyNumber(name)) {
        codes.push_back(functionKeyPrefix(number));
        codes.push_back(functionKey(number));
        return;
    }
    for (const NamedKey& key : NAMED_KEYS) {
        if (key.name != name) continue;
        if (key.prefix != SINGLE) codes.push_back(key.prefix);
        codes.push_back(key.code);
        return;
    }
    throw std::invalid_argument("unknown key name: <" + std::string(name) + ">");
}

// The name of the key with these codes (prefix -1 for a key of one code); empty when it has none.
std::string nameOf(int prefix, int code) {
    for (int number = 1; number <= FUNCTION_KEYS; ++number)
        if (prefix == functionKeyPrefix(number) && code == functionKey(number)) return "F" + std::to_string(number);
    for (const NamedKey& key : NAMED_KEYS)
        if (key.prefix == prefix && key.code == code) return std::string(key.name);
    return {};
}

bool isPlainText(int code) { return code >= ' ' && code < DELETE_CHARACTER && code != '<'; }

}  // namespace

KeyPress readKey(ConsoleScreen& screen) {
    const int first = screen.readKey();
    if (!isExtendedPrefix(first)) return {first, false};
    return {screen.readKey(), true};
}

std::vector<int> parseNotation(std::string_view text) {
    std::vector<int> codes;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] != '<') {
            codes.push_back(static_cast<unsigned char>(text[i++]));
            continue;
        }
        const std::size_t close = text.find('>', i);
        if (close == std::string_view::npos)
            throw std::invalid_argument("unclosed key name: " + std::string(text.substr(i)));
        appendNamed(codes, text.substr(i + 1, close - i - 1));
        i = close + 1;
    }
    return codes;
}

std::string formatNotation(const std::vector<int>& codes) {
    std::string text;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        const int code = codes[i];
        if (isExtendedPrefix(code) && i + 1 < codes.size()) {
            if (const std::string name = nameOf(code, codes[i + 1]); !name.empty()) {
                text += '<' + name + '>';
                ++i;
                continue;
            }
        }
        if (isPlainText(code)) {
            text += static_cast<char>(code);
        } else if (const std::string name = nameOf(SINGLE, code); !name.empty()) {
            text += '<' + name + '>';
        } else {
            text += "<#" + std::to_string(code) + '>';
        }
    }
    return text;
}

std::string codesForTypedCharacter(char32_t codePoint) {
    switch (codePoint) {
    case FUNCTION_KEY_PREFIX: return {};  // Ctrl+Space: 0 would read as the prefix of an extended key
    case '\n':
    case '\r': return std::string(1, static_cast<char>(ENTER));
    case DELETE_CHARACTER:
    case BACKSPACE: return std::string(1, static_cast<char>(BACKSPACE));
    default: break;
    }
    // A plain form takes as many places in a field as it shows characters.
    std::string codes = cp850::cp850ForCodePoint(codePoint);
    // Ó has the code of the cursor block prefix: it would read as the prefix
    // of an extended key and swallow the key after it.
    std::erase(codes, static_cast<char>(CURSOR_BLOCK_PREFIX));
    return codes;
}

}  // namespace keys
