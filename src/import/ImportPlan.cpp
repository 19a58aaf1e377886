#include "import/ImportPlan.h"

#include <array>
#include <optional>
#include <unordered_map>

#include "console/TextFolding.h"
#include "import/ImportInput.h"
#include "import/ImportRecord.h"
#include "library/LibraryRecord.h"
#include "storage/Csv.h"
#include "storage/DataFile.h"
#include "storage/RecordScan.h"

namespace import_file {
namespace {

constexpr storage::CsvLayout LIBRARY_LINE = library_record::TABLE.line;
using AppendStatus = AppendReport::Status;

// Both folded forms of the two titles, so that "Maerchen" meets "Märchen" as
// the filter finds it, and "Marchen" too.
std::array<std::string, 2> keysOf(const std::vector<std::string>& fields) {
    const auto field = [&fields](std::size_t index) { return index < fields.size() ? fields[index] : std::string(); };
    const folding::FoldedText german = folding::fold(field(library_record::TITLE_GERMAN));
    const folding::FoldedText english = folding::fold(field(library_record::TITLE_ENGLISH));
    return {"b" + german.base + '\n' + english.base, "g" + german.german + '\n' + english.german};
}

std::vector<std::string> fieldsOf(std::string_view line) {
    std::vector<std::string> fields;
    forEachRecord(line, ',', [&fields](const std::vector<std::string>& found, long) {
        fields = found;
        return false;
    });
    return fields;
}

// A record as the file writes it, without its line end and last separator.
std::string shown(std::string_view line) {
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
    if (LIBRARY_LINE.separatorAfterLastField && line.ends_with(',')) line.remove_suffix(1);
    return std::string(line);
}

// The keys of the new entries, two an entry, held once in one text; for
// each, the first key of an entry that equals it.
struct EntryKeys {
    std::string text;
    std::vector<std::size_t> ends;
    std::unordered_map<std::string_view, std::size_t> firstWith;
    std::vector<std::size_t> first;

    explicit EntryKeys(const NewLines& newLines) {
        for (const NewLines::Line& entry : newLines.entries)
            for (const std::string& key : keysOf(fieldsOf(newLines.text(entry)))) ends.push_back((text += key).size());
        firstWith.reserve(ends.size());
        for (std::size_t index = 0; index < ends.size(); ++index)
            first.push_back(firstWith.emplace(key(index), index).first->second);
    }
    std::string_view key(std::size_t index) const {
        const std::size_t start = index == 0 ? 0 : ends[index - 1];
        return std::string_view(text).substr(start, ends[index] - start);
    }
};

// For the first key of each kind, the first record of the library that has
// it, as the file writes it; empty where none has.
std::optional<std::vector<std::string>> libraryMatches(storage::DataFile& file, const EntryKeys& keys) {
    std::vector<std::string> matches(keys.ends.size());
    std::string line;
    const auto scan = storage::scanRecords(file, LIBRARY_LINE, [&](const std::vector<std::string>& fields) {
        for (const std::string& key : keysOf(fields)) {
            const auto wanted = keys.firstWith.find(key);
            if (wanted == keys.firstWith.end() || !matches[wanted->second].empty()) continue;
            std::vector<std::string_view> views(fields.begin(), fields.end());
            line.clear();
            storage::appendCsvLine(views, LIBRARY_LINE, line);
            matches[wanted->second] = shown(line);
        }
    });
    if (!scan) return std::nullopt;
    return matches;
}

// Whether the entry equals a record of the library or an earlier entry.
std::optional<AppendReport::Duplicate> duplicateOf(std::size_t entry, const NewLines& newLines, const EntryKeys& keys,
                                                   const std::vector<std::string>& matches) {
    const std::size_t ownKeys[] = {2 * entry, 2 * entry + 1};
    for (const std::size_t key : ownKeys)
        if (!matches.empty() && !matches[keys.first[key]].empty())
            return AppendReport::Duplicate{entry, 0, matches[keys.first[key]]};
    for (const std::size_t key : ownKeys) {
        const std::size_t earlier = keys.first[key] / 2;
        if (earlier < entry) {
            const NewLines::Line& line = newLines.entries[earlier];
            return AppendReport::Duplicate{entry, line.lineInFile, shown(newLines.text(line))};
        }
    }
    return std::nullopt;
}

}  // namespace

void NewLines::add(std::string_view line, long lineInFile, bool withoutLength) {
    entries.push_back({lines.size(), line.size(), lineInFile, withoutLength});
    lines += line;
}

AppendReport appendNewLines(const NewLines& newLines, bool keepDuplicates, bool dryRun) {
    AppendReport report;
    storage::DataFile file(std::string(library_record::TABLE.fileName), dryRun ? storage::DataFile::Purpose::Read : storage::DataFile::Purpose::Append);
    const bool missing = file.status() == storage::DataFile::Status::Missing;
    report.status = file.isOpen() || missing ? AppendStatus::Written
                    : file.status() == storage::DataFile::Status::Locked ? AppendStatus::Locked
                                                                         : AppendStatus::Failed;
    // Only a dry run goes on without the library: to count as if it were empty.
    if (report.status != AppendStatus::Written && !dryRun) return report;
    const EntryKeys keys(keepDuplicates ? NewLines() : newLines);
    std::vector<std::string> matches;
    if (file.isOpen() && !keepDuplicates) {
        if (auto found = libraryMatches(file, keys)) {
            matches = std::move(*found);
        } else {
            report.status = AppendStatus::Failed;
            if (!dryRun) return report;
        }
    }
    for (std::size_t index = 0; index < newLines.entries.size(); ++index) {
        const auto duplicate = keepDuplicates ? std::nullopt : duplicateOf(index, newLines, keys, matches);
        if (duplicate) report.duplicates.push_back(*duplicate);
        else report.added.push_back(index);
    }
    if (dryRun || report.added.empty()) {
        if (file.isOpen() && !dryRun) file.removeIfCreatedEmpty();
        return report;
    }
    int lastByte = -1;
    if (!file.readLastByte(lastByte)) {
        report.status = AppendStatus::Failed;
        return report;
    }
    // Keeps the first new record off an unterminated last line.
    std::string bytes = lastByte != -1 && lastByte != '\n' && lastByte != '\r' ? "\r\n" : "";
    for (const std::size_t index : report.added) bytes += newLines.text(newLines.entries[index]);
    if (!file.appendThroughReplacement(bytes)) {
        report.status = AppendStatus::Failed;
        file.removeIfCreatedEmpty();
    }
    return report;
}

namespace {

constexpr long PROGRESS_EVERY = 1000;

// As column names: far longer than any name they are matched against, a
// first line of any length is looked at in bounded time.
constexpr std::size_t NAME_BYTES_MATCHED = 256;

std::vector<std::u32string> codePointsOf(const std::vector<std::string>& fields, Encoding encoding) {
    std::vector<std::u32string> names;
    for (const std::string& field : fields)
        names.push_back(toCodePoints(std::string_view(field).substr(0, NAME_BYTES_MATCHED), encoding));
    return names;
}

std::string unclosedReason(const UnclosedQuote& unclosed) {
    std::string reason = "Anfuehrungszeichen nicht geschlossen";
    const long next = unclosed.quoteLine + 1;
    if (unclosed.lastLine == next) reason += "; Zeile " + std::to_string(next) + " nicht uebernommen";
    if (unclosed.lastLine > next)
        reason += "; Zeilen " + std::to_string(next) + " bis " + std::to_string(unclosed.lastLine) + " nicht uebernommen";
    return reason;
}

}  // namespace

ImportPlan planImport(std::string_view bytes, std::optional<Encoding> encoding, int nextYear,
                      const ImportProgress& progress) {
    ImportPlan plan;
    plan.encodingNamed = encoding.has_value();
    plan.encoding = encoding.value_or(detectEncoding(bytes));
    // UTF-16 is read as the UTF-8 it becomes, line for line.
    std::string fromUtf16;
    Encoding readAs = plan.encoding;
    if (plan.encoding == Encoding::Utf16Le || plan.encoding == Encoding::Utf16Be) {
        fromUtf16 = utf16ToUtf8(bytes.substr(2), plan.encoding == Encoding::Utf16Be);
        bytes = fromUtf16;
        readAs = Encoding::Utf8;
    }
    // A byte-order mark is never part of the first name, whatever the encoding.
    bytes.remove_prefix(byteOrderMarkLength(bytes));
    if (!plan.encodingNamed && readAs != Encoding::Utf8)
        plan.firstLineNotUtf8 = lineOfByte(bytes, firstNonUtf8Byte(bytes));
    plan.separator = detectSeparator(bytes);
    std::optional<ColumnMap> map;
    std::string line;
    const auto unclosed = forEachRecord(bytes, plan.separator, [&](const std::vector<std::string>& fields, long lineNumber) {
        if (!map) {
            plan.hasHeader = isHeader(codePointsOf(fields, readAs));
            if (!plan.hasHeader) {
                map = programOrder(fields.size());
            } else {
                map = mapHeader(codePointsOf(fields, readAs));
                for (const std::string& name : fields) plan.columns.push_back(toCp850(name, readAs));
                for (const std::size_t column : map->ignored) plan.ignoredColumns.push_back(plan.columns[column]);
                plan.hasGermanTitle = map->columnOf[library_record::TITLE_GERMAN] != ColumnMap::NONE;
                return plan.hasGermanTitle;
            }
        }
        if (progress && lineNumber % PROGRESS_EVERY == 0) progress(lineNumber);
        TakenRecord taken = takeRecord(fields, *map, readAs, nextYear);
        if (!taken.refusal.empty()) {
            plan.refused.push_back({lineNumber, std::move(taken.refusal)});
            ++plan.refusedLines;
            return true;
        }
        for (std::string& note : taken.notes) plan.notes.push_back({lineNumber, std::move(note)});
        const std::vector<std::string_view> values(taken.values.begin(), taken.values.end());
        line.clear();
        storage::appendCsvLine(values, LIBRARY_LINE, line);
        plan.newLines.add(line, lineNumber, taken.withoutLength);
        return true;
    });
    if (unclosed && plan.hasGermanTitle) {
        plan.refused.push_back({unclosed->quoteLine, unclosedReason(*unclosed)});
        plan.refusedLines += unclosed->lastLine - unclosed->recordLine + 1;
    }
    return plan;
}

}  // namespace import_file
