#include "console/InputField.h"

#include <algorithm>
#include <iostream>
#include <utility>

#include "console/Colors.h"
#include "console/ConsoleScreen.h"
#include "console/Keys.h"

namespace {

// Control codes would corrupt the data files and the screen.
bool isStorableCharacter(int code) { return code >= ' ' && code != keys::DELETE_CHARACTER; }

class InputField {
public:
    InputField(ConsoleScreen& screen, int maxLength, int row, int column, const FieldStart& start)
        : start(start),
          screen(screen),
          maxLength(maxLength),
          row(row),
          column(column),
          visibleCells(std::clamp(ConsoleScreen::BUFFER_COLUMNS - column, 0, std::max(maxLength, 0))) {}

    FieldEntry run() {
        show(start.shownValue);
        bool valueKept = !text.empty();
        bool firstKey = true;
        FieldEntry entry;
        for (;;) {
            const keys::KeyPress key = keys::readKey(screen);
            if (key.extended) continue;
            if (key.code == keys::ENTER) break;
            if (key.code == keys::ESCAPE) {
                text = "escape";
                break;
            }
            if (std::exchange(firstKey, false) && start.ctrlARepeats && key.code == keys::CTRL_A) {
                entry.repeatWanted = true;
                break;
            }
            if (key.code == keys::TAB && start.complete) {
                if (complete()) {
                    valueKept = false;
                    entry.edited = true;
                }
                continue;
            }
            tabsInRow = 0;
            if (key.code == keys::BACKSPACE) {
                blankField();
                valueKept = false;
                entry.edited = true;
            } else if (isStorableCharacter(key.code)) {
                if (std::exchange(valueKept, false)) blankField();
                if (static_cast<int>(text.size()) < maxLength) append(static_cast<char>(key.code));
                entry.edited = true;
            }
        }
        screen.setColor(colors::YELLOW, colors::BLACK);
        entry.text = std::move(text);
        return entry;
    }

private:
    // The field shows the next value for the text as it was before the
    // first Tab; false when there is none (the field stays as it is).
    bool complete() {
        if (tabsInRow == 0) textBeforeTabs = text;
        const std::optional<std::string> value = start.complete(textBeforeTabs, tabsInRow);
        if (!value || !isTypeable(*value)) return false;
        ++tabsInRow;
        blankField();
        show(*value);
        return true;
    }

    // A value the field takes whole: shown as if typed, so the cells and the
    // cursor are those of typing it; a value longer than the field shows its
    // beginning, and typing adds nothing to it.
    void show(std::string_view value) {
        if (static_cast<int>(value.size()) <= maxLength) {
            for (const char character : value) append(character);
            return;
        }
        text = value;
        screen.setColor(colors::WHITE, colors::BLACK);
        screen.setCursor(row, column);
        std::cout << value.substr(0, static_cast<std::size_t>(visibleCells));
        screen.setCursor(row, std::min(column + visibleCells, ConsoleScreen::BUFFER_COLUMNS - 1));
    }

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

    const FieldStart& start;
    ConsoleScreen& screen;
    const int maxLength;
    const int row;
    const int column;
    const int visibleCells;
    std::string text;
    int tabsInRow = 0;
    std::string textBeforeTabs;
};

}  // namespace

bool isTypeable(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char character) {
        return isStorableCharacter(static_cast<unsigned char>(character));
    });
}

FieldEntry enterField(ConsoleScreen& screen, int maxLength, int row, int column, const FieldStart& start) {
    return InputField(screen, maxLength, row, column, start).run();
}

std::string readInputField(ConsoleScreen& screen, int maxLength, int row, int column) {
    return enterField(screen, maxLength, row, column).text;
}
