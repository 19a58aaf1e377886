#include "support/Tables.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tables {

std::vector<Row> read(const std::string& name) {
    std::ifstream file(std::string(TABLE_DIR) + "/" + name, std::ios::binary);
    if (!file) throw std::runtime_error("no table " + name);
    std::vector<Row> rows;
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        const auto arrow = line.find(" =>");
        if (arrow == std::string::npos) throw std::runtime_error(name + ":" + std::to_string(number) + ": no =>");
        const std::size_t right = std::min(line.size(), arrow + 4);
        rows.push_back({line.substr(0, arrow), line.substr(right), number});
    }
    return rows;
}

std::string unescape(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '*' && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1]))) {
            std::size_t digits = 0;
            const std::size_t count = std::stoul(text.substr(i + 1), &digits);
            out += std::string(count - 1, out.back());
            i += digits;
        } else if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
        } else {
            const char kind = text[++i];
            if (kind == 'x') {
                out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
                i += 2;
            } else {
                const std::string from = "rnte0s\\", to = std::string("\r\n\t\x1b", 4) + std::string(1, '\0') + " \\";
                out += to.at(from.find(kind));
            }
        }
    }
    return out;
}

std::string escape(const std::string& bytes) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    for (unsigned char byte : bytes) {
        if (byte >= 32 && byte < 127) out += static_cast<char>(byte);
        else out += std::string("\\x") + hex[byte >> 4] + hex[byte & 15];
    }
    return out;
}

std::vector<CommandLineRow> readCommandLineTable(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) throw std::runtime_error("no table " + path);
    std::vector<CommandLineRow> rows;
    int number = 0;
    for (std::string line; std::getline(file, line);) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> field;
        for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 3) {
            end = line.find(" | ", start);
            field.push_back(line.substr(start, end - start));
            field.back().erase(0, field.back().find_first_not_of(' '));
            field.back().erase(field.back().find_last_not_of(' ') + 1);
        }
        if (field.size() != 8) throw std::runtime_error(path + ":" + std::to_string(number) + ": not 8 fields");
        rows.push_back({field[0], field[1], field[2], field[3], field[4], field[5], field[6], field[7], number});
    }
    return rows;
}

std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> list;
    std::istringstream stream(text == "-" ? "" : text);
    for (std::string word; stream >> word;) list.push_back(unescape(word));
    return list;
}

bool meets(const std::string& expected, const std::string& actual) {
    if (expected == "-") return true;
    const bool exact = expected.starts_with('=');
    if (exact && expected.size() == 1) return actual.empty();
    std::vector<std::string> parts;
    const std::string gap = " ... ";
    // A field's blanks at either end are cut: a gap there is "... " or " ...".
    std::string text = expected;
    if (text.starts_with("=... ")) text.insert(1, " ");
    if (text.starts_with("... ")) text.insert(0, " ");
    if (text.ends_with(" ...")) text += " ";
    for (std::size_t start = exact ? 1 : 0;;) {
        const std::size_t end = text.find(gap, start);
        parts.push_back(unescape(text.substr(start, end - start)));
        if (end == std::string::npos) break;
        start = end + gap.size();
    }
    if (exact) parts.back() += "\n";
    std::size_t at = 0;
    for (std::size_t index = 0; index < parts.size(); ++index) {
        const std::string& part = parts[index];
        const bool first = index == 0, last = index + 1 == parts.size();
        // Exact: the first part opens the text, the last one closes it.
        if (exact && last) return actual.size() >= at + part.size() && actual.ends_with(part) && (!first || actual == part);
        const std::size_t found = exact && first ? (actual.starts_with(part) ? 0 : std::string::npos) : actual.find(part, at);
        if (found == std::string::npos) return false;
        at = found + part.size();
    }
    return true;
}

}  // namespace tables
