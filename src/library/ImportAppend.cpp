#include "library/ImportAppend.h"

#include <array>
#include <optional>
#include <unordered_map>

#include "console/TextFolding.h"
#include "library/ImportCsv.h"
#include "library/LibraryRecord.h"
#include "storage/CsvLineWriter.h"
#include "storage/FileSystem.h"
#include "storage/RecordScan.h"

namespace import_file {
namespace {

constexpr storage::CsvLayout LIBRARY_LINE{library_record::COLUMN_COUNT, library_record::ENDS_WITH_SEPARATOR};
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
    if (library_record::ENDS_WITH_SEPARATOR && line.ends_with(',')) line.remove_suffix(1);
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
    storage::DataFile file(std::string(library_record::FILE_NAME), dryRun ? storage::DataFile::Purpose::Read : storage::DataFile::Purpose::Append);
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

}  // namespace import_file
