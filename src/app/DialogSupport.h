#pragma once
#include <string_view>

#include "app/ListPrintout.h"
#include "rental/LendingDates.h"
#include "storage/LockWait.h"

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

// Where a form's save prompt stands: below its last field.
constexpr int SAVE_PROMPT_ROW = 24;
// A text typed into a title field as the dialog takes it: a scanned barcode
// of a DVD (DvdLibrary::titleOfBarcode) as that DVD's German title, read
// with a wait for the library's lock shown at (noticeRow, noticeColumn);
// any other text as it was typed.
std::string titleOrBarcode(ConsoleScreen& screen, const std::string& typed, int noticeRow, int noticeColumn);

// "F1 Speichern" at `row` and "F2 Nicht Speichern" two rows below it.
void drawSavePrompt(ConsoleScreen& screen, int row = SAVE_PROMPT_ROW);
// SAVE_FAILED for its time, then erased: the form goes back to its save prompt.
void reportSaveFailure(ConsoleScreen& screen, int row, int column);

// A stored text at a position, cut at the right edge: texts from the data
// files may be of any length and must not spill into the rows below.
void writeAt(ConsoleScreen& screen, int row, int column, std::string_view text);

// Columns a Left or Right key moves a view sideways.
constexpr int PAN_COLUMNS = 10;
// Scrolls the view for the second code of a page, arrow, Home or End key
// (Left and Right pan a window narrower than the screen); false for any other code.
bool scrollForKey(ConsoleScreen& screen, int scanCode);
// A long or wide screen shown from its top left corner, whatever the cursor.
void showFromStart(ConsoleScreen& screen);

}  // namespace dialog

class ConsoleScreen;

// While it lives, a wait of the store for a lock someone else holds shows
// WAIT_NOTICE in yellow at its place (where the dialog shows its failure
// messages), on the terminal before the wait starts; it goes when the wait
// ends, and the cursor and colour are as before.
class LockWaitNotice {
public:
    static constexpr std::string_view WAIT_NOTICE = "DATEI GESPERRT, BITTE WARTEN ...";

    LockWaitNotice(ConsoleScreen& screen, int row, int column);
    ~LockWaitNotice();
    LockWaitNotice(const LockWaitNotice&) = delete;
    LockWaitNotice& operator=(const LockWaitNotice&) = delete;

private:
    void show(bool waiting);

    ConsoleScreen& screen;
    int row;
    int column;
    storage::LockWaitObserver previous;
};

// Runs a store operation with the notice at that place.
template <typename Operation>
auto withLockWaitNotice(ConsoleScreen& screen, int row, int column, Operation operation) {
    const LockWaitNotice notice(screen, row, column);
    return operation();
}

class ConsoleScreen;

// A lend or return written to the lending journal, dated today.
namespace journal_entry {

// Shown where the dialog reports a failed save; the lending or return stands.
constexpr std::string_view NOT_WRITTEN = "JOURNAL NICHT GESCHRIEBEN!";

lending_dates::Day today();

// Appends the event; when the journal is kept but cannot take it, says so
// at (row, column) for a message's time, then erases it.
void note(ConsoleScreen& screen, std::string_view event, const lending_dates::Borrowing& who, int row, int column);

}  // namespace journal_entry

// Prints a list and tells the operator in the message style what became of
// it: nothing to print, accepted by the printing system, or failed with the
// printing system's first error line below the message.
void printList(ConsoleScreen& screen, const PrintedList& list);
