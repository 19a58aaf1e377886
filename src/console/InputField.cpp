#include "console/InputField.h"

#include <algorithm>
#include <iostream>

#include "console/Colors.h"
#include "console/ConsoleScreen.h"
#include "console/Keys.h"

namespace {

// Control codes would corrupt the data files and the screen.
bool isStorableCharacter(int code) { return code >= ' ' && code != keys::DELETE_CHARACTER; }

class InputField {
public:
    InputField(ConsoleScreen& screen, int maxLength, int row, int column)
        : screen(screen),
          maxLength(maxLength),
          row(row),
          column(column),
          visibleCells(std::clamp(ConsoleScreen::BUFFER_COLUMNS - column, 0, std::max(maxLength, 0))) {}

    std::string run() {
        for (;;) {
            // An extended key's second code stands for the key, as a character.
            const int key = keys::readKey(screen).code;
            if (key == keys::ENTER) break;
            if (key == keys::ESCAPE) {
                text = "escape";
                break;
            }
            if (key == keys::BACKSPACE) {
                blankField();
            } else if (isStorableCharacter(key) && static_cast<int>(text.size()) < maxLength) {
                append(static_cast<char>(key));
            }
        }
        screen.setColor(colors::YELLOW, colors::BLACK);
        return text;
    }

private:
    void blankField() {
        text.clear();
        // Cells past the right edge do not exist; writing there would wrap into the next row.
        for (int i = 0; i < visibleCells; ++i) {
            screen.setCursor(row, column + i);
            std::cout << ' ';
        }
        screen.setCursor(row, column);
    }

    void append(char character) {
        text.push_back(character);
        const int typed = static_cast<int>(text.size());
        screen.setColor(colors::WHITE, colors::BLACK);
        if (typed <= visibleCells) {
            screen.setCursor(row, column + typed - 1);
            std::cout << character;
            return;
        }
        // The field reaches past the right edge: show its last characters in the cells there are.
        if (visibleCells == 0) return;
        screen.setCursor(row, column);
        std::cout << text.substr(text.size() - static_cast<size_t>(visibleCells - 1));
        std::cout << ' ';
        screen.setCursor(row, column + visibleCells - 1);
    }

    ConsoleScreen& screen;
    const int maxLength;
    const int row;
    const int column;
    const int visibleCells;
    std::string text;
};

}  // namespace

std::string readInputField(ConsoleScreen& screen, int maxLength, int row, int column) {
    return InputField(screen, maxLength, row, column).run();
}
