#include "library/ImportAppend.h"

#include <unordered_set>

#include "storage/CsvLineWriter.h"
#include "storage/FileSystem.h"
#include "storage/RecordScan.h"

namespace import_file {
namespace {

constexpr char LIBRARY_FILE[] = "DVDBibliothek.csv";
constexpr storage::CsvLayout LIBRARY_LINE{4, true};

}  // namespace

void NewLines::add(std::string_view line, long lineInFile) {
    entries.push_back({lines.size(), line.size(), lineInFile});
    lines += line;
}

AppendReport appendNewLines(const NewLines& newLines, bool keepDuplicates, bool dryRun) {
    AppendReport report;
    storage::DataFile file(LIBRARY_FILE, dryRun ? storage::DataFile::Purpose::Read : storage::DataFile::Purpose::Append);
    const bool missing = file.status() == storage::DataFile::Status::Missing;
    if (!file.isOpen() && !(dryRun && missing)) {
        if (file.status() == storage::DataFile::Status::Locked) report.status = AppendReport::Status::Locked;
        return report;
    }
    int lastByte = -1;
    // The library's records as lines written the way the new ones are, so
    // that equal values give equal lines.
    std::string libraryLines;
    std::vector<std::size_t> libraryEnds;
    if (file.isOpen()) {
        if (!file.readLastByte(lastByte)) return report;
        if (!keepDuplicates) {
            const auto scan =
                storage::scanRecords(file, LIBRARY_LINE, [&](const std::vector<std::string>& fields) {
                    std::vector<std::string_view> views(fields.begin(), fields.end());
                    storage::appendCsvLine(views, LIBRARY_LINE, libraryLines);
                    libraryEnds.push_back(libraryLines.size());
                });
            if (!scan.has_value()) return report;
        }
    }
    std::unordered_set<std::string_view> known;
    known.reserve(libraryEnds.size() + newLines.entries.size());
    for (std::size_t index = 0, start = 0; index < libraryEnds.size(); start = libraryEnds[index++])
        known.insert(std::string_view(libraryLines).substr(start, libraryEnds[index] - start));
    std::string bytes;
    // Keeps the first new record off an unterminated last line.
    if (lastByte != -1 && lastByte != '\n' && lastByte != '\r') bytes = "\r\n";
    for (std::size_t index = 0; index < newLines.entries.size(); ++index) {
        const std::string_view line = newLines.text(newLines.entries[index]);
        if (!keepDuplicates && !known.insert(line).second) {
            ++report.duplicates;
            continue;
        }
        report.added.push_back(index);
        if (!dryRun) bytes += line;
    }
    if (dryRun || report.added.empty()) {
        if (file.isOpen() && !dryRun) file.removeIfCreatedEmpty();
        report.status = AppendReport::Status::Written;
        return report;
    }
    report.status = file.appendWhole(bytes) ? AppendReport::Status::Written : AppendReport::Status::Failed;
    return report;
}

}  // namespace import_file
