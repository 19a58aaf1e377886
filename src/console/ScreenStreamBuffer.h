#pragma once
#include <streambuf>

class ConsoleScreen;

// Unbuffered: every byte reaches the screen buffer at once, so each piece of
// text lands at the cursor position and in the colour in force when written.
class ScreenStreamBuffer : public std::streambuf {
public:
    explicit ScreenStreamBuffer(ConsoleScreen& screen) : screen(screen) {}

protected:
    int_type overflow(int_type character) override;
    std::streamsize xsputn(const char* text, std::streamsize count) override;

private:
    ConsoleScreen& screen;
};
