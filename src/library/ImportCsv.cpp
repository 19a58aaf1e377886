#include "library/ImportCsv.h"

namespace import_file {
namespace {

// Lines looked at to choose the separator.
constexpr std::size_t LINES_COMPARED = 5;

}  // namespace

void forEachRecord(std::string_view bytes, char separator, const RecordVisitor& visit) {
    std::vector<std::string> fields(1);
    long line = 1;
    long recordLine = 1;
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
            if (!endRecord()) return;
            continue;
        }
        lineHasBytes = true;
        if (byte == separator) {
            fields.emplace_back();
            fieldQuoted = false;
        } else if (byte == '"' && fields.back().empty() && !fieldQuoted) {
            inQuotes = fieldQuoted = true;
        } else {
            fields.back() += byte;
        }
    }
    // An open quote at the end of the file still ends its record.
    lineHasBytes = lineHasBytes || fields.size() > 1 || !fields.back().empty();
    endRecord();
}

char detectSeparator(std::string_view bytes) {
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
    bool own = false;
    forEachRecord(bytes, ',', [&](const std::vector<std::string>& fields, long) {
        own = fields.size() == 5 && fields[4].empty();
        return false;
    });
    return own;
}

}  // namespace import_file
