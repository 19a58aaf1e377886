#pragma once
#include <string_view>

#include "storage/LockWait.h"

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
