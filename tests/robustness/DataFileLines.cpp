#include "DataFileLines.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>

namespace robustness {

namespace {

void appendField(std::string_view field, std::string& out) {
    if (field.find_first_of(",\"") == std::string_view::npos) {
        out += field;
        return;
    }
    out += '"';
    for (char byte : field) {
        if (byte == '"') out += '"';
        out += byte;
    }
    out += '"';
}

// Fields of one line, quotes undone; false when a quoted field is not closed
// before a comma or the line end.
bool splitFields(std::string_view line, Record& fields) {
    fields.assign(1, std::string());
    std::size_t at = 0;
    while (at < line.size()) {
        std::string& field = fields.back();
        if (line[at] == '"' && field.empty()) {
            ++at;
            for (;;) {
                if (at >= line.size()) return false;
                if (line[at] == '"') {
                    if (at + 1 < line.size() && line[at + 1] == '"') {
                        field += '"';
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                field += line[at++];
            }
            if (at < line.size() && line[at] != ',') return false;
        }
        if (at >= line.size()) break;
        if (line[at] == ',') {
            fields.emplace_back();
            ++at;
        } else {
            fields.back() += line[at++];
        }
    }
    return true;
}

}  // namespace

std::string encodeLine(const Record& fields, const LineLayout& layout) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        appendField(fields[i], line);
        if (i + 1 < fields.size() || layout.separatorAfterLastField) line += ',';
    }
    return line + "\r\n";
}

std::string encodeFile(const std::vector<Record>& records, const LineLayout& layout) {
    std::string file;
    for (const Record& record : records) file += encodeLine(record, layout);
    return file;
}

std::string splitDataFile(std::string_view bytes, const LineLayout& layout, std::vector<std::string>& lines) {
    lines.clear();
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t end = bytes.find("\r\n", start);
        if (end == std::string_view::npos) return "last line without CR LF: " + printable(bytes.substr(start));
        const std::string_view line = bytes.substr(start, end - start);
        const std::string where = "line " + std::to_string(lines.size() + 1) + " ";
        if (line.find_first_of("\r\n") != std::string_view::npos) return where + "holds a stray CR or LF: " + printable(line);
        Record fields;
        if (!splitFields(line, fields)) return where + "has an unclosed quote: " + printable(line);
        if (layout.separatorAfterLastField) {
            if (fields.size() != static_cast<std::size_t>(layout.fieldCount) + 1 || !fields.back().empty())
                return where + "is not " + std::to_string(layout.fieldCount) + " fields each ended by a comma: " + printable(line);
            fields.pop_back();
        } else if (fields.size() != static_cast<std::size_t>(layout.fieldCount)) {
            return where + "is not " + std::to_string(layout.fieldCount) + " fields: " + printable(line);
        }
        for (const std::string& field : fields)
            for (unsigned char byte : field)
                if (byte < 32 || byte == 127) return where + "holds a control byte: " + printable(line);
        if (encodeLine(fields, layout) != std::string(line) + "\r\n")
            return where + "is not written as the program writes lines: " + printable(line);
        lines.emplace_back(line);
        start = end + 2;
    }
    return {};
}

LineChange classifyChange(const std::vector<std::string>& before, const std::vector<std::string>& after) {
    if (before == after) return LineChange::None;
    if (after.size() == before.size() + 1 && std::equal(before.begin(), before.end(), after.begin()))
        return LineChange::OneAppended;
    if (after.size() + 1 == before.size()) {
        std::size_t same = 0;
        while (same < after.size() && after[same] == before[same]) ++same;
        if (std::equal(after.begin() + static_cast<std::ptrdiff_t>(same), after.end(),
                       before.begin() + static_cast<std::ptrdiff_t>(same) + 1))
            return LineChange::OneRemoved;
    }
    return LineChange::Other;
}

const char* describe(LineChange change) {
    switch (change) {
    case LineChange::None: return "unchanged";
    case LineChange::OneAppended: return "one line appended";
    case LineChange::OneRemoved: return "one line removed";
    case LineChange::Other: return "changed in some other way";
    }
    return "?";
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string printable(std::string_view bytes, std::size_t limit) {
    std::string text;
    for (std::size_t i = 0; i < bytes.size() && i < limit; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte >= 32 && byte < 127 && byte != '\\') {
            text += static_cast<char>(byte);
        } else {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
            text += escaped;
        }
    }
    if (bytes.size() > limit) text += "... (" + std::to_string(bytes.size()) + " bytes)";
    return text;
}

}  // namespace robustness
