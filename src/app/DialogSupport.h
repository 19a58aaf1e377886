#pragma once
#include <string_view>

class ConsoleScreen;

// What the forms and dialogs share: their wait for keys, their messages and
// the writing of stored texts at fixed positions.
namespace dialog {

constexpr int MESSAGE_MILLISECONDS = 2500;
// Shown when a data file could not be written; nothing typed is lost.
constexpr std::string_view SAVE_FAILED = "SPEICHERN FEHLGESCHLAGEN!";
// Shown instead of what a data file holds when another program kept it
// locked for longer than a load waits.
constexpr std::string_view FILE_LOCKED = "DATEI GESPERRT!";
// Below a "not found" message when the search stopped at the read bound.
constexpr std::string_view FILE_NOT_WHOLLY_READ = "DATEI NICHT GANZ GELESEN!";
// Shown instead of SAVE_FAILED when the file changed since it was read.
constexpr std::string_view FILE_CHANGED = "DATEI WURDE INZWISCHEN GEAENDERT!";

// What a search for one record by its title found.
struct TitleSearch {
    static constexpr int NOT_FOUND = -1;
    int record = NOT_FOUND;
    bool fileLocked = false;
    bool fileNotWhollyRead = false;
};

// The message a fruitless search shows in place of `notFound`, with
// FILE_NOT_WHOLLY_READ two rows below it when the search stopped early;
// the second line is drawn at once, the first is left to the caller.
std::string_view notFoundMessage(ConsoleScreen& screen, const TitleSearch& search, int row, int column,
                                 std::string_view notFound);

// The message in light red for MESSAGE_MILLISECONDS; it stays on the screen.
void showMessage(ConsoleScreen& screen, int row, int column, std::string_view text);
// Blanks over a message, then the label colour again.
void eraseMessage(ConsoleScreen& screen, int row, int column, std::string_view text);

// "F1 Speichern" and "F2 Nicht Speichern" below a form.
void drawSavePrompt(ConsoleScreen& screen);
// SAVE_FAILED for its time, then erased: the form goes back to its save prompt.
void reportSaveFailure(ConsoleScreen& screen, int row, int column);

// A stored text at a position, cut at the right edge: texts from the data
// files may be of any length and must not spill into the rows below.
void writeAt(ConsoleScreen& screen, int row, int column, std::string_view text);

// Scrolls the view for the second code of a page, arrow, Home or End key
// (Left and Right pan a window narrower than the screen); false for any other code.
bool scrollForKey(ConsoleScreen& screen, int scanCode);
// A long or wide screen shown from its top left corner, whatever the cursor.
void showFromStart(ConsoleScreen& screen);

}  // namespace dialog
