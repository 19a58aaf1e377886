#include "console/TypedKeys.h"

#include "console/Keys.h"
#include "console/PlainForm.h"

namespace keys {

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
