#pragma once
#include <functional>
#include <string>
#include <vector>

#include "app/DialogSupport.h"
#include "app/ReturnLendings.h"
#include "app/TitleCompletion.h"
#include "storage/StoreFile.h"

class DvdApplication;

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
