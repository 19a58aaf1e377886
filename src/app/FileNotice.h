#pragma once
#include <string>
#include <string_view>

// What a list says above its records about the file they come from.
struct FileNotice {
    bool locked = false;     // the file could not be read: someone holds its lock
    int unshownCount = 0;    // records of the file that the store could not hold
    bool uncounted = false;  // reading stopped early, so more may follow
    // Said in place of the above: what kept a file from being read whole
    // that the file's own notice would not name rightly.
    std::string_view instead = {};

    bool fileHoldsMore() const { return unshownCount > 0 || uncounted; }
};

// What the screen, the printout and the text list say when the file holds
// more than they show: "12 WEITERE EINTRAEGE DER DATEI NICHT <notDone>!",
// without the number where reading stopped early (it would understate the rest).
std::string fileHoldsMoreText(const FileNotice& notice, std::string_view notDone);

template <typename Store>
FileNotice fileNoticeOf(const Store& store) {
    return {store.wasLocked(), store.unreadLineCount(), store.hasUncountedLines()};
}
