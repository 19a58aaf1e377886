#pragma once
#include <algorithm>
#include <chrono>
#include <functional>

namespace storage {

enum class LockAttempt { Taken, Busy, Failed };

// The longest a store operation waits for a lock that someone else holds.
constexpr std::chrono::milliseconds LOCK_WAIT_LIMIT{3000};

// Told true when a store operation starts waiting for a lock someone else
// holds, and false when that wait has ended: the screen shows the wait, the
// storage layer draws nothing. Returns the observer it replaces.
using LockWaitObserver = std::function<void(bool waiting)>;
LockWaitObserver setLockWaitObserver(LockWaitObserver observer);
void reportLockWait(bool waiting);

// How a lock wait pauses between tries: by default the thread sleeps; the
// program sets a pause that keeps the keys typed meanwhile. Returns the pause
// it replaces; an empty one goes back to sleeping.
using LockPause = std::function<void(std::chrono::milliseconds)>;
LockPause setLockPause(LockPause pause);
void pauseForLock(std::chrono::milliseconds duration);

// Tries `tryLock` until it no longer reports Busy or the limit has passed.
// The pauses grow to a tenth of a second: a lock held for seconds costs some
// thirty wake-ups, and one released at once is seen within milliseconds.
template <typename TryLock>
LockAttempt waitForLock(TryLock tryLock) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + LOCK_WAIT_LIMIT;
    std::chrono::milliseconds pause{5};
    bool reported = false;
    for (;;) {
        const LockAttempt attempt = tryLock();
        const Clock::time_point now = Clock::now();
        if (attempt != LockAttempt::Busy || now >= deadline) {
            if (reported) reportLockWait(false);
            return attempt;
        }
        if (!reported) reportLockWait(true);
        reported = true;
        pauseForLock(std::chrono::ceil<std::chrono::milliseconds>(std::min<Clock::duration>(pause, deadline - now)));
        pause = std::min(pause * 2, std::chrono::milliseconds{100});
    }
}

}  // namespace storage
