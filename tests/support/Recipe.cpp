#include "support/Recipe.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "support/Tables.h"

namespace recipe {

namespace {

// One placeholder of a record's template, filled for record `number`:
// {} the number, {0W} zero-padded to W digits, {%M} the number modulo M,
// {cycle N STEP SHIFT} byte c < N being (SHIFT * number + STEP * c) mod 256, but
// a line feed left out, so that the record stays one line.
std::string fill(const std::string& placeholder, long number) {
    std::istringstream words(placeholder);
    std::string word;
    words >> word;
    if (placeholder.empty()) return std::to_string(number);
    if (word == "cycle") {
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

std::string record(const std::string& pattern, long number) {
    std::string out;
    for (size_t at = 0; at < pattern.size();) {
        const size_t open = pattern.find('{', at);
        out += tables::unescape(pattern.substr(at, open - at));
        if (open == std::string::npos) break;
        const size_t close = pattern.find('}', open);
        if (close == std::string::npos) throw std::invalid_argument("no } after {");
        out += fill(pattern.substr(open + 1, close - open - 1), number);
        at = close + 1;
    }
    return out;
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
            for (long n = from; n <= to; ++n) out += record(line.substr(size_t(consumed)), n);
        } catch (const std::exception& error) {
            throw std::runtime_error(where + ":" + std::to_string(number) + ": " + error.what());
        }
    }
    return out;
}

}  // namespace recipe
