#include "support/Recipe.h"

#include <cstdio>
#include <optional>
#include <sstream>
#include <vector>
#include <stdexcept>

#include "support/Tables.h"

namespace recipe {

namespace {

// One placeholder of a record's template, filled for record `number`:
// {} the number, {0W} zero-padded to W digits, {%M} the number modulo M,
// {cycle N STEP SHIFT} byte c < N being (SHIFT * number + STEP * c) mod 256, but
// a line feed left out, so that the record stays one line.
std::string fill(const std::string& placeholder, long number) {
    if (placeholder.empty()) return std::to_string(number);
    if (placeholder.starts_with("cycle")) {
        std::istringstream words(placeholder.substr(5));
        long count = 0, step = 0, shift = 0;
        if (!(words >> count >> step >> shift)) throw std::invalid_argument("cycle needs N STEP SHIFT");
        std::string bytes;
        for (long c = 0; c < count; ++c)
            if (const long byte = (shift * number + step * c) % 256; byte != '\n') bytes += static_cast<char>(byte);
        return bytes;
    }
    if (placeholder[0] == '%') return std::to_string(number % std::stol(placeholder.substr(1)));
    if (placeholder[0] == '0') {
        std::string digits = std::to_string(number);
        const size_t width = std::stoul(placeholder);
        return std::string(width > digits.size() ? width - digits.size() : 0, '0') + digits;
    }
    throw std::invalid_argument("unknown placeholder {" + placeholder + "}");
}

// A record's template read once: its bytes and its placeholders, in turn.
struct Piece {
    std::string bytes;
    std::optional<std::string> placeholder;
};

std::vector<Piece> piecesOf(const std::string& pattern) {
    std::vector<Piece> pieces;
    for (size_t at = 0; at < pattern.size();) {
        const size_t open = pattern.find('{', at);
        pieces.push_back({tables::unescape(pattern.substr(at, open - at)), std::nullopt});
        if (open == std::string::npos) break;
        const size_t close = pattern.find('}', open);
        if (close == std::string::npos) throw std::invalid_argument("no } after {");
        pieces.push_back({"", pattern.substr(open + 1, close - open - 1)});
        at = close + 1;
    }
    return pieces;
}

}  // namespace

std::string make(const std::string& text, const std::string& where) {
    std::string out;
    std::istringstream lines(text);
    int number = 0;
    for (std::string line; std::getline(lines, line);) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        try {
            // "text BYTES" or "FROM-TO TEMPLATE", the bytes in the tables' escapes.
            if (line.starts_with("text ")) {
                out += tables::unescape(line.substr(5));
                continue;
            }
            long from = 0, to = 0;
            int consumed = 0;
            if (std::sscanf(line.c_str(), "%ld-%ld %n", &from, &to, &consumed) != 2 || consumed == 0)
                throw std::invalid_argument("neither text nor FROM-TO TEMPLATE");
            const std::vector<Piece> pieces = piecesOf(line.substr(size_t(consumed)));
            for (long n = from; n <= to; ++n)
                for (const Piece& piece : pieces) out += piece.placeholder ? fill(*piece.placeholder, n) : piece.bytes;
        } catch (const std::exception& error) {
            throw std::runtime_error(where + ":" + std::to_string(number) + ": " + error.what());
        }
    }
    return out;
}

}  // namespace recipe
