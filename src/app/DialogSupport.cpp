#include "app/DialogSupport.h"

#include <algorithm>
#include <iostream>
#include <string>

#include "console/Colors.h"
#include "console/ConsoleScreen.h"
#include "console/Keys.h"

namespace dialog {

namespace {
constexpr int PAN_COLUMNS = 10;
}

void showMessage(ConsoleScreen& screen, int row, int column, std::string_view text) {
    screen.setColor(colors::LIGHT_RED, colors::BLACK);
    screen.setCursor(row, column);
    std::cout << text;
    screen.addNoteRow(row);
    screen.pause(MESSAGE_MILLISECONDS);
    screen.removeNoteRow(row);
}

std::string_view notFoundMessage(ConsoleScreen& screen, const TitleSearch& search, int row, int column,
                                 std::string_view notFound) {
    if (search.fileLocked) return FILE_LOCKED;
    if (search.fileNotWhollyRead) {
        screen.setColor(colors::LIGHT_RED, colors::BLACK);
        writeAt(screen, row + 2, column, FILE_NOT_WHOLLY_READ);
        // Seen with the message below which it stands, until the screen is cleared.
        screen.addNoteRow(row + 2);
    }
    return notFound;
}

void eraseMessage(ConsoleScreen& screen, int row, int column, std::string_view text) {
    screen.setCursor(row, column);
    std::cout << std::string(text.size(), ' ');
    screen.setColor(colors::YELLOW, colors::BLACK);
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

void showFromStart(ConsoleScreen& screen) {
    screen.scrollViewTo(0);
    screen.panViewTo(0);
}

bool scrollForKey(ConsoleScreen& screen, int scanCode) {
    const int top = screen.viewTopRow();
    const int page = std::max(1, screen.visibleRowCount() - 1);
    switch (scanCode) {
        case keys::HOME: showFromStart(screen); return true;
        case keys::LEFT: screen.panViewTo(screen.viewLeftColumn() - PAN_COLUMNS); return true;
        case keys::RIGHT: screen.panViewTo(screen.viewLeftColumn() + PAN_COLUMNS); return true;
        // The last rows that hold something, not the blank rest of the page.
        case keys::END: screen.scrollViewTo(screen.lastFilledRow() - screen.visibleRowCount() + 1); return true;
        case keys::UP: screen.scrollViewTo(top - 1); return true;
        case keys::DOWN: screen.scrollViewTo(top + 1); return true;
        case keys::PAGE_UP: screen.scrollViewTo(top - page); return true;
        case keys::PAGE_DOWN: screen.scrollViewTo(top + page); return true;
        default: return false;
    }
}

}  // namespace dialog
