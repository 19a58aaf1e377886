#include "system/ExitCleanup.h"

#include <atomic>

namespace exit_cleanup {
namespace {

constexpr int MOST_ACTIONS = 8;
Action actions[MOST_ACTIONS] = {};
// Raised only once its slot is filled, so a signal never sees an empty one.
std::atomic<int> actionCount{0};
static_assert(std::atomic<int>::is_always_lock_free, "read from signal handlers");

}  // namespace

void add(Action action) {
    const int held = actionCount.load();
    for (int index = 0; index < held; ++index)
        if (actions[index] == action) return;
    if (held == MOST_ACTIONS) return;
    actions[held] = action;
    actionCount.store(held + 1);
}

void runAll() {
    for (int index = actionCount.load(); index-- > 0;) actions[index]();
}

}  // namespace exit_cleanup
