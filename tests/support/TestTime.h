#pragma once
#include <chrono>
#include <cstdlib>

// Every wall-clock bound of the tests (how long a program may take to answer,
// to end, to write its files) is multiplied by DVD_TEST_TIME_SCALE: the build
// sets it for its slow legs (sanitizer, Debug), a busy machine may raise it.
// Times the program itself keeps (a message shown 2.5 s, a lock waited for 3 s)
// are not bounds and are not scaled.
namespace testtime {

inline int scale() {
    static const int factor = [] {
        const char* text = std::getenv("DVD_TEST_TIME_SCALE");
        const int value = text ? std::atoi(text) : 1;
        return value > 0 ? value : 1;
    }();
    return factor;
}

inline std::chrono::milliseconds scaled(std::chrono::milliseconds bound) { return bound * scale(); }

}  // namespace testtime
