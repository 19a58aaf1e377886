#pragma once
#include <functional>
#include <string>

#include "app/DialogSupport.h"
#include "app/ReturnLendings.h"
#include "app/TitleCompletion.h"
#include "storage/StoreFile.h"

class DvdApplication;

// What the delete dialog and the return dialog share: a title typed at a
// prompt, the first record with exactly that title, a question, and on "j" or
// "J" the record removed and its file rewritten; a file changed meanwhile
// starts the dialog again.
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
    // Takes the record found out and rewrites the file. ChangedMeanwhile
    // leaves the store empty: the dialog starts again at its title prompt.
    std::function<storage::SaveResult(int record)> removeAndSave;
    // What Tab completes the title from; without it Tab types nothing.
    FieldCompletion (*completeTitle)(const completion::FieldPlace& place) = nullptr;
};

// Where the dialog says a save failed: below "[j/n]:".
constexpr int REMOVAL_MESSAGE_ROW = 24;

void runRemovalDialog(DvdApplication& application, const RemovalDialog& dialog);
