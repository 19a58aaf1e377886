#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/DialogSupport.h"
#include "app/TitleCompletion.h"
#include "rental/LendingDates.h"
#include "storage/StoreFile.h"

class ConsoleScreen;
class DvdApplication;
class RentalRegister;

// One lending of the title typed at the return dialog, by its record.
struct NamedLending {
    int record;
    lending_dates::Borrowing who;
};

// The return dialog's side of the register and the journal: the lendings of
// a title, and the return of exactly one of them, noted in the journal.
class ReturnLendings {
public:
    explicit ReturnLendings(RentalRegister& rentals) : rentals(rentals) {}

    // Every lending of the title in the rows the register holds, when the
    // file has more than one; otherwise none, and the search's record goes.
    std::vector<NamedLending> ofTitle(const std::string& title);
    // Takes the record out, rewrites the file and, once saved, notes the
    // return of whoever had it.
    storage::SaveResult returnRecord(ConsoleScreen& screen, int record, int messageRow, int messageColumn);

private:
    RentalRegister& rentals;
    std::vector<NamedLending> lendings;
    lending_dates::Borrowing firstFound;  // the one the search found, when it was the only lending
};

// One of several records a question may be about, and the line naming it.
struct Choice {
    int record;
    std::string line;
};

// A question asked about one record, or about several in turn.
struct RecordQuestion {
    std::string question;
    int questionColumn;
    int answerColumn;  // where "j" or "n" is typed, after "[j/n]:" below the question
    // When not empty: a note in light red below "[j/n]:" (below the line
    // naming the record, when there is one); the answer is taken as always.
    std::string note = {};
};

// The question about each record in turn, the line naming it below
// "[j/n]:" with "(k von n)": the record answered "j" or "J"; NOT_FOUND
// after "n" on the last, or after any other answer.
int askForEachChoice(DvdApplication& application, const RecordQuestion& question, const std::vector<Choice>& choices);

// The copies of a DVD a library search found, each named by
// "EXEMPLAR: Film Art, English title, running time".
std::vector<Choice> copyChoices(const std::vector<storage::StoreFile::Match>& copies);

// What the delete dialog and the return dialog share: a title typed at a
// prompt, the record with exactly that title (of several, the one chosen),
// a question, and on "j" or "J" the record removed and its file rewritten; a
// file changed meanwhile starts the dialog again.
// The rows are the same for both dialogs; texts and columns are their own.
struct RemovalDialog {
    void (DvdApplication::*drawHeading)();
    const char* prompt;
    int promptColumn;
    int titleColumn;  // where the title is typed, on the prompt's row
    // The question is questionStart, the title found, questionEnd.
    const char* questionStart;
    const char* questionEnd;
    int questionColumn;
    int answerColumn;  // where "j" or "n" is typed, after "[j/n]:" below the question
    // The first record in the file with exactly the title typed.
    std::function<dialog::TitleSearch(const std::string& title)> findTitle;
    // When set: a note in light red below "[j/n]:" about the title found
    // (empty for none); the answer is taken as always.
    std::function<std::string(const std::string& title)> noteOnQuestion = {};
    // When set: the lendings of the title found. With two or more the
    // question names each borrower in turn and "n" asks for the next; with
    // one its record is the one that goes.
    std::function<std::vector<NamedLending>(const std::string& title)> lendingsOf = {};
    // When set: the records of the title found. With two or more the
    // question names each in turn and "n" asks about the next.
    std::function<std::vector<Choice>()> recordsFound = {};
    // Takes the record found out and rewrites the file. ChangedMeanwhile
    // leaves the store empty: the dialog starts again at its title prompt.
    std::function<storage::SaveResult(int record)> removeAndSave;
    // What Tab completes the title from; without it Tab types nothing.
    FieldCompletion (*completeTitle)(const completion::FieldPlace& place) = nullptr;
};

// Where the dialog says a save failed: below "[j/n]:".
constexpr int REMOVAL_MESSAGE_ROW = 24;

void runRemovalDialog(DvdApplication& application, const RemovalDialog& dialog);

// The store's side of the delete and return dialogs, for either store.
namespace record_removal {

// What the store's last search (which gave `record`) found.
template <typename Store>
dialog::TitleSearch searchResult(const Store& store, int record) {
    return {.record = record, .fileLocked = store.wasLocked(), .fileNotWhollyRead = store.searchStoppedAtBound()};
}

// A file changed meanwhile empties the store: the next search reads it afresh.
template <typename Store>
storage::SaveResult removeAndSave(Store& store, int record) {
    store.removeRecord(record);
    const storage::SaveResult saved = store.saveAll();
    if (saved == storage::SaveResult::ChangedMeanwhile) store.clear();
    return saved;
}

}  // namespace record_removal

