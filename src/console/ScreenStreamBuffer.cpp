#include "console/ScreenStreamBuffer.h"

#include "console/ConsoleScreen.h"

ScreenStreamBuffer::int_type ScreenStreamBuffer::overflow(int_type character) {
    if (traits_type::eq_int_type(character, traits_type::eof())) return traits_type::not_eof(character);
    screen.putByte(static_cast<unsigned char>(traits_type::to_char_type(character)));
    return character;
}

std::streamsize ScreenStreamBuffer::xsputn(const char* text, std::streamsize count) {
    for (std::streamsize i = 0; i < count; ++i) screen.putByte(static_cast<unsigned char>(text[i]));
    return count;
}
