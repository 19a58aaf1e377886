#include "library/ImportCsv.h"

namespace import_file {
namespace {

// Lines looked at to choose the separator.
constexpr std::size_t LINES_COMPARED = 5;
// Looked at to choose it, up to the last line end in it: a file of empty
// lines is not walked through again and again.
constexpr std::size_t BYTES_COMPARED = 64 * 1024;

std::string_view sample(std::string_view bytes) {
    if (bytes.size() <= BYTES_COMPARED) return bytes;
    const std::size_t lastLineEnd = bytes.substr(0, BYTES_COMPARED).find_last_of("\r\n");
    return bytes.substr(0, lastLineEnd == std::string_view::npos ? BYTES_COMPARED : lastLineEnd + 1);
}

}  // namespace

std::optional<UnclosedQuote> forEachRecord(std::string_view bytes, char separator, const RecordVisitor& visit) {
    std::vector<std::string> fields(1);
    long line = 1;
    long recordLine = 1;
    long quoteLine = 1;
    long lastLine = 0;
    bool inQuotes = false;
    bool fieldQuoted = false;  // the field began with a quote (which is not kept)
    bool lineHasBytes = false;
    const auto endRecord = [&] {
        const bool goOn = !lineHasBytes || visit(fields, recordLine);
        fields.assign(1, std::string());
        lineHasBytes = false;
        fieldQuoted = false;
        return goOn;
    };
    for (std::size_t at = 0; at < bytes.size(); ++at) {
        const char byte = bytes[at];
        const bool lineEnd = byte == '\n' || byte == '\r';
        if (!lineEnd) lastLine = line;
        if (!lineHasBytes && !lineEnd) recordLine = line;
        if (inQuotes) {
            if (byte == '"' && at + 1 < bytes.size() && bytes[at + 1] == '"') {
                fields.back() += '"';
                ++at;
            } else if (byte == '"') {
                inQuotes = false;
            } else {
                if (byte == '\n' || (byte == '\r' && (at + 1 >= bytes.size() || bytes[at + 1] != '\n'))) ++line;
                fields.back() += byte;
            }
            continue;
        }
        if (lineEnd) {
            if (byte == '\r' && at + 1 < bytes.size() && bytes[at + 1] == '\n') ++at;
            ++line;
            if (!endRecord()) return std::nullopt;
            continue;
        }
        lineHasBytes = true;
        if (byte == separator) {
            fields.emplace_back();
            fieldQuoted = false;
        } else if (byte == '"' && fields.back().empty() && !fieldQuoted) {
            inQuotes = fieldQuoted = true;
            quoteLine = line;
        } else {
            fields.back() += byte;
        }
    }
    if (inQuotes) return UnclosedQuote{recordLine, quoteLine, lastLine};
    endRecord();
    return std::nullopt;
}

long lineOfByte(std::string_view bytes, std::size_t offset) {
    long line = 1;
    for (std::size_t at = 0; at < offset && at < bytes.size(); ++at) {
        // CR LF is one line end, counted at its LF.
        if (bytes[at] == '\n' || (bytes[at] == '\r' && (at + 1 >= bytes.size() || bytes[at + 1] != '\n'))) ++line;
    }
    return line;
}

char detectSeparator(std::string_view bytes) {
    bytes = sample(bytes);
    char best = ',';
    std::size_t bestFields = 1;
    for (const char separator : {',', ';', '\t'}) {
        std::vector<std::size_t> counts;
        forEachRecord(bytes, separator, [&](const std::vector<std::string>& fields, long) {
            counts.push_back(fields.size());
            return counts.size() < LINES_COMPARED;
        });
        if (counts.empty() || counts[0] <= bestFields) continue;
        bool same = true;
        for (const std::size_t count : counts) same = same && count == counts[0];
        if (same) {
            best = separator;
            bestFields = counts[0];
        }
    }
    if (bestFields > 1) return best;
    // None splits every line alike: the one that splits the first line most.
    for (const char separator : {',', ';', '\t'}) {
        std::size_t first = 0;
        forEachRecord(bytes, separator, [&](const std::vector<std::string>& fields, long) {
            first = fields.size();
            return false;
        });
        if (first > bestFields) {
            best = separator;
            bestFields = first;
        }
    }
    return best;
}

bool hasOwnFormat(std::string_view bytes) {
    bytes = sample(bytes);
    bool own = false;
    forEachRecord(bytes, ',', [&](const std::vector<std::string>& fields, long) {
        own = fields.size() == 5 && fields[4].empty();
        return false;
    });
    return own;
}

}  // namespace import_file
