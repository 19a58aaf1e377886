#pragma once
#include <functional>
#include <initializer_list>
#include <iostream>
#include <string>
#include <utility>

#include "app/DvdApplication.h"
#include "support/ScriptedPlatform.h"

namespace listtest {

// Extended keys of the cursor block, after the prefix 224.
constexpr int HOME = 71;
constexpr int UP = 72;
constexpr int PAGE_UP = 73;
constexpr int END = 79;
constexpr int DOWN = 80;
constexpr int PAGE_DOWN = 81;

// Sits between std::cout and the screen while it lives: passes every byte
// on, keeps a copy of all text written, and runs an action once, just before
// the first byte (for a list: after it loaded its file, before it draws).
class ScreenWriteTap : public std::streambuf {
public:
    explicit ScreenWriteTap(std::function<void()> beforeFirstWrite = {})
        : beforeFirstWrite(std::move(beforeFirstWrite)), screen(std::cout.rdbuf(this)) {}
    ~ScreenWriteTap() override { std::cout.rdbuf(screen); }

    int timesWritten(const std::string& text) const {
        int count = 0;
        for (auto at = written.find(text); at != std::string::npos; at = written.find(text, at + 1)) ++count;
        return count;
    }

protected:
    int_type overflow(int_type character) override {
        if (traits_type::eq_int_type(character, traits_type::eof())) return traits_type::not_eof(character);
        const char byte = traits_type::to_char_type(character);
        return xsputn(&byte, 1) == 1 ? character : traits_type::eof();
    }
    std::streamsize xsputn(const char* text, std::streamsize count) override {
        if (beforeFirstWrite) std::exchange(beforeFirstWrite, nullptr)();
        written.append(text, static_cast<std::size_t>(count));
        return screen->sputn(text, count);
    }

private:
    std::function<void()> beforeFirstWrite;
    std::streambuf* screen;
    std::string written;
};

// Opens a list, presses the keys (then Escape) and tells where the view stood at the end.
inline int viewTopAfter(DvdApplication& app, void (DvdApplication::*list)(), std::initializer_list<int> keys) {
    scripted::state().keys.clear();
    for (int key : keys) scripted::typeKey(key);
    scripted::typeKey(27);
    (app.*list)();
    return app.viewTopRow();
}

}  // namespace listtest
