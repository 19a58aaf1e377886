#include "storage/LockWait.h"

#include <utility>

namespace storage {
namespace {

LockWaitObserver observer;

}  // namespace

LockWaitObserver setLockWaitObserver(LockWaitObserver newObserver) {
    return std::exchange(observer, std::move(newObserver));
}

void reportLockWait(bool waiting) {
    if (observer) observer(waiting);
}

}  // namespace storage
