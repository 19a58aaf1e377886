#pragma once
#include <functional>
#include <string>

class DvdApplication;

// What the delete dialog and the return dialog share: a title typed at a
// prompt, the first record with exactly that title, a question, and on "j" or
// "J" the record removed and its file rewritten.
struct RemovalDialog {
    void (DvdApplication::*drawHeading)();
    const char* prompt;
    int promptColumn;
    int fieldColumn;
    const char* questionStart;
    const char* questionEnd;
    int questionColumn;
    int answerColumn;
    int recordCount;
    // The file could not be loaded because someone else held its lock.
    bool fileLocked;
    std::function<std::string(int row)> titleOf;
    // Takes the record out and rewrites the file; false when the file could not be written.
    std::function<bool(int row)> removeAndSave;
};

void runRemovalDialog(DvdApplication& application, const RemovalDialog& dialog);
