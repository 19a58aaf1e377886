#include "app/DialogSupport.h"

#include <algorithm>
#include <iostream>
#include <string>

#include "console/ConsoleScreen.h"

namespace dialog {

namespace {
constexpr int EXTENDED_PREFIX_NULL = 0;
constexpr int EXTENDED_PREFIX = 224;
constexpr int SCAN_HOME = 71;
constexpr int SCAN_UP = 72;
constexpr int SCAN_PAGE_UP = 73;
constexpr int SCAN_END = 79;
constexpr int SCAN_DOWN = 80;
constexpr int SCAN_PAGE_DOWN = 81;
}  // namespace

int nextState(ConsoleScreen& screen, int state, bool stateActs) {
    if (!stateActs || screen.keyWaiting()) return screen.readKey();
    return state;
}

void showMessage(ConsoleScreen& screen, int row, int column, std::string_view text) {
    screen.setColor(LIGHT_RED, BLACK);
    screen.setCursor(row, column);
    std::cout << text;
    screen.pause(MESSAGE_MILLISECONDS);
}

void eraseMessage(ConsoleScreen& screen, int row, int column, std::string_view text) {
    screen.setCursor(row, column);
    std::cout << std::string(text.size(), ' ');
    screen.setColor(YELLOW, BLACK);
}

void drawSavePrompt(ConsoleScreen& screen) {
    screen.setCursor(24, 20);
    std::cout << "F1 Speichern" << std::endl;
    screen.setCursor(26, 20);
    std::cout << "F2 Nicht Speichern";
}

void reportSaveFailure(ConsoleScreen& screen, int row, int column) {
    showMessage(screen, row, column, SAVE_FAILED);
    eraseMessage(screen, row, column, SAVE_FAILED);
}

void writeAt(ConsoleScreen& screen, int row, int column, std::string_view text) {
    screen.setCursor(row, column);
    const auto room = static_cast<std::size_t>(std::max(0, ConsoleScreen::BUFFER_COLUMNS - column));
    std::cout << text.substr(0, room);
}

bool isExtendedPrefix(int code) { return code == EXTENDED_PREFIX_NULL || code == EXTENDED_PREFIX; }

bool scrollForKey(ConsoleScreen& screen, int scanCode) {
    const int top = screen.viewTopRow();
    const int page = std::max(1, screen.visibleRowCount() - 1);
    switch (scanCode) {
        case SCAN_HOME: screen.scrollViewTo(0); return true;
        case SCAN_END: screen.scrollViewTo(screen.bufferRowCount()); return true;
        case SCAN_UP: screen.scrollViewTo(top - 1); return true;
        case SCAN_DOWN: screen.scrollViewTo(top + 1); return true;
        case SCAN_PAGE_UP: screen.scrollViewTo(top - page); return true;
        case SCAN_PAGE_DOWN: screen.scrollViewTo(top + page); return true;
        default: return false;
    }
}

}  // namespace dialog
