#include <cstdint>

#include "library/DvdLibrary.h"

namespace {

bool isWhiteSpace(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r';
}

bool isDigit(char byte) { return byte >= '0' && byte <= '9'; }

}  // namespace

// Refuses -1 as well: that value has always stood for "no number read", and
// running times are accepted exactly as they always were.
std::optional<int> DvdLibrary::lengthInMinutes(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isWhiteSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size() || !isDigit(text[pos])) return std::nullopt;
    constexpr std::int64_t beyondRange = std::int64_t{1} << 32;
    std::int64_t magnitude = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        if (magnitude < beyondRange) magnitude = magnitude * 10 + (text[pos] - '0');
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX || value == -1) return std::nullopt;
    return static_cast<int>(value);
}

bool DvdLibrary::isValidLength(std::string text) const { return lengthInMinutes(text).has_value(); }
