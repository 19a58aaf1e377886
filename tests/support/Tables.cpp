#include "support/Tables.h"

#include <fstream>
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

}  // namespace tables
