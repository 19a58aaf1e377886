#include "storage/LockWait.h"

#include <thread>
#include <utility>

namespace storage {
namespace {

LockWaitObserver observer;
LockPause lockPause;

}  // namespace

LockWaitObserver setLockWaitObserver(LockWaitObserver newObserver) {
    return std::exchange(observer, std::move(newObserver));
}

void reportLockWait(bool waiting) {
    if (observer) observer(waiting);
}

LockPause setLockPause(LockPause pause) { return std::exchange(lockPause, std::move(pause)); }

void pauseForLock(std::chrono::milliseconds duration) {
    if (lockPause) {
        lockPause(duration);
    } else {
        std::this_thread::sleep_for(duration);
    }
}

}  // namespace storage
