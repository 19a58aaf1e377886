#include <gtest/gtest.h>

#include <sstream>

#include "console/Keys.h"
#include "platform/windows/ConsoleKeyEvents.h"
#include "support/Tables.h"

// The Windows console's key events against tables/windows-keys.txt: on every
// system, and under wine with the Windows build.
namespace {

console_keys::KeyEvent eventOf(const std::string& left) {
    console_keys::KeyEvent event;
    std::istringstream tokens(left.substr(0, left.find('|')));
    for (std::string token; tokens >> token;) {
        if (token.starts_with("U+"))
            event.character = static_cast<char16_t>(std::stoul(token.substr(2), nullptr, 16));
        else if (token.starts_with("VK+"))
            event.virtualKeyCode = std::stoi(token.substr(3), nullptr, 16);
        else if (token.starts_with("repeat="))
            event.repeatCount = std::stoi(token.substr(7));
        else if (token == "up")
            event.keyDown = false;
        else if (token == "alt")
            event.altWithoutCtrl = true;
        else
            throw std::invalid_argument("unknown token " + token);
    }
    return event;
}

std::vector<int> codesOf(const std::string& bytes) {
    std::vector<int> codes;
    for (const char byte : bytes) codes.push_back(static_cast<unsigned char>(byte));
    return codes;
}

TEST(WindowsConsoleKeys, Table) {
    const auto rows = tables::read("windows-keys.txt");
    ASSERT_FALSE(rows.empty());
    for (const tables::Row& row : rows) {
        SCOPED_TRACE("windows-keys.txt:" + std::to_string(row.line) + ": " + row.left);
        const std::vector<int> expected = keys::parseNotation(tables::unescape(row.right));
        EXPECT_EQ(keys::formatNotation(codesOf(console_keys::codesFor(eventOf(row.left)))),
                  keys::formatNotation(expected));
    }
}

}  // namespace
