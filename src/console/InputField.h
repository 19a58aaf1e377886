#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class ConsoleScreen;

// What Tab puts into a field: given the text as it was before the first of
// the Tabs pressed in a row and how many came before this one, the value to
// show, or nothing (the field stays as it is).
using FieldCompletion = std::function<std::optional<std::string>(std::string_view typed, int tabsBefore)>;

// How a field starts when it is asked for again.
struct FieldStart {
    // Shown in the field with the cursor after it (of a value longer than
    // the field its beginning; the value stays whole): Enter alone keeps it,
    // the first character typed replaces it, Backspace empties it.
    std::string_view shownValue = {};
    // Ctrl+A as the first key asks the caller to repeat what it did last.
    bool ctrlARepeats = false;
    // Without it Tab types nothing. A value it gives is taken whole, shown as
    // a shown value is.
    FieldCompletion complete = {};
};

struct FieldEntry {
    std::string text;  // exactly "escape" when Escape ended the input
    bool repeatWanted = false;
    // A key changed what the field showed (a character, Backspace, a
    // completion): false when the value shown was only confirmed.
    bool edited = false;
};

// Whether every byte of the text could be typed into a field: no control
// codes, which would corrupt the data files and the screen.
bool isTypeable(std::string_view text);

// The one way typed text enters the system: a field of maxLength cells at a
// fixed position, echoed key by key. Keys without a character (arrows,
// function keys, ...) type nothing; Tab completes when the field has a
// completion, and any other key goes on from the value Tab gave.
FieldEntry enterField(ConsoleScreen& screen, int maxLength, int row, int column, const FieldStart& start = {});

// The text on Enter, or exactly "escape" on Escape.
std::string readInputField(ConsoleScreen& screen, int maxLength, int row, int column);
