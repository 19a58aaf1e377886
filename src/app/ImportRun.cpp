#include "app/CommandLine.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>

#include "app/ListColumns.h"
#include "app/ListPrintout.h"
#include "import/ImportInput.h"
#include "import/ImportPlan.h"
#include "library/DvdLibrary.h"
#include "platform/FilePrimitives.h"
#include "platform/Platform.h"
#include "storage/StoreLimits.h"

namespace {

using import_file::AppendReport;
using import_file::ImportPlan;
using AppendStatus = AppendReport::Status;

// A dry run shows this many of the records it would add.
constexpr std::size_t PREVIEW_RECORDS = 10;
// Files longer than this show how far the reading has come.
constexpr long PROGRESS_FROM_LINES = 10000;
constexpr std::string_view STANDARD_INPUT = "-";

// Standard error is written unbuffered: so many lines go in larger writes.
constexpr std::size_t PROBLEM_BYTES_WRITTEN = 64 * 1024;

std::string said(const std::string& cp850Text, const TextCharset& charset) {
    return "dvdverwaltung: " + textInCharset(cp850Text, charset) + "\n";
}

void say(const std::string& cp850Text, const TextCharset& charset) { std::fputs(said(cp850Text, charset).c_str(), stderr); }

std::string joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + ("'" + name + "'");
    return text;
}

// The records a dry run would add, in the form of --liste.
std::string preview(const ImportPlan& plan, const AppendReport& report, const TextCharset& charset) {
    std::vector<std::vector<std::string>> rows;
    for (const std::size_t index : report.added) {
        if (rows.size() == PREVIEW_RECORDS) break;
        import_file::forEachRecord(plan.newLines.text(plan.newLines.entries[index]), ',',
                                   [&rows](const std::vector<std::string>& fields, long) {
                                       rows.push_back(fields);
                                       return false;
                                   });
    }
    const storage::RecordTable& table = library_record::TABLE;
    for (std::vector<std::string>& row : rows) row.resize(table.fields.size());
    PrintedList list{table.listName, printColumnsOf(table), static_cast<int>(rows.size()), {},
                     [&rows](int record, int column) { return rows[record][column]; }, table.oneRecord,
                     table.manyRecords};
    dropUnheldLaterColumns(list, table);
    return listText(list, charset);
}

std::string encodingText(const ImportPlan& plan) {
    std::string text = "Zeichensatz: " + std::string(import_file::nameOf(plan.encoding));
    if (plan.firstLineNotUtf8 > 0) text += " (Zeile " + std::to_string(plan.firstLineNotUtf8) + " ist kein UTF-8)";
    else if (plan.encodingNamed) text += " (angegeben)";
    return text;
}

std::string countsText(const ImportPlan& plan, const AppendReport& report, bool dryRun) {
    const bool counted = report.status == AppendStatus::Written || dryRun;
    const std::size_t added = counted ? report.added.size() : 0;
    const auto withoutLength = std::count_if(report.added.begin(), report.added.end(), [&plan](std::size_t index) {
        return plan.newLines.entries[index].withoutLength;
    });
    std::ostringstream text;
    if (dryRun) text << "Probelauf, nichts geschrieben\n";
    text << added << (dryRun ? " wuerden hinzugefuegt\n" : " hinzugefuegt\n");
    if (counted && withoutLength > 0) text << withoutLength << " ohne Laenge\n";
    text << report.duplicates.size() << " doppelt, uebersprungen\n";
    text << plan.refusedLines << " abgelehnt\n";
    text << encodingText(plan) << "\n";
    if (!plan.ignoredColumns.empty()) text << "Nicht uebernommene Spalten: " << joined(plan.ignoredColumns) << "\n";
    return text.str();
}

// Every line not taken as it stood, in the order of the file.
std::vector<import_file::LineProblem> problems(const ImportPlan& plan, const AppendReport& report) {
    std::vector<import_file::LineProblem> all;
    for (const import_file::LineProblem& refused : plan.refused) all.push_back({refused.line, "abgelehnt, " + refused.reason});
    all.insert(all.end(), plan.notes.begin(), plan.notes.end());
    for (const AppendReport::Duplicate& duplicate : report.duplicates) {
        const std::string where =
            duplicate.sameAsLine == 0 ? "in der Bibliothek" : "Zeile " + std::to_string(duplicate.sameAsLine);
        all.push_back({plan.newLines.entries[duplicate.entry].lineInFile, "doppelt, wie " + where + ": " + duplicate.record});
    }
    std::stable_sort(all.begin(), all.end(), [](const auto& left, const auto& right) { return left.line < right.line; });
    return all;
}

std::string libraryFailure(AppendStatus status, bool dryRun) {
    const std::string file(library_record::TABLE.fileName);
    if (dryRun)
        return file + (status == AppendStatus::Locked ? " ist gesperrt" : " kann nicht gelesen werden") +
               ", gezaehlt ohne ihre DVDs";
    return file + (status == AppendStatus::Locked ? " ist gesperrt" : ": Schreiben fehlgeschlagen") + ", nichts geschrieben";
}

}  // namespace

bool readImportFile(const command_line::Request::ImportOptions& options, const TextCharset& charset, std::string& bytes) {
    // No name is no file: standard input is only "-".
    const std::string path = options.file == STANDARD_INPUT ? "" : options.file;
    const auto most = static_cast<std::size_t>(FILE_BYTES_SCANNED);
    const auto read = options.file.empty() ? file_primitives::InputRead::Failed : file_primitives::readInput(path, most, bytes);
    if (read == file_primitives::InputRead::Read) return true;
    const std::string shownFile = "'" + shownArgument(options.file, charset) + "'";
    const std::string limit = std::to_string(FILE_BYTES_SCANNED / (1024 * 1024)) + " MiB";
    if (read == file_primitives::InputRead::TooLarge)
        std::fprintf(stderr, "dvdverwaltung: %s ist groesser als %s, mehr liest der Import nicht\n", shownFile.c_str(),
                     limit.c_str());
    else
        std::fprintf(stderr, "dvdverwaltung: %s kann nicht gelesen werden\n", shownFile.c_str());
    return false;
}

int runImport(std::string bytes, const command_line::Request::ImportOptions& options, const TextCharset& charset) {
    // Stopped by a signal, the import leaves no temporary file: the library
    // is then as it was or holds every new record.
    platform::endThroughCleanupOnInterrupt();
    long lineCount = 0;
    for (const char byte : bytes) lineCount += byte == '\n';
    const bool showProgress = lineCount > PROGRESS_FROM_LINES && platform::errorIsTerminal();
    const auto progress = [&](long line) {
        if (showProgress) std::fprintf(stderr, "\rZeile %ld von %ld ...", line, lineCount);
    };
    const int nextYear = platform::today().year + 1;
    const ImportPlan plan =
        import_file::planImport(bytes, import_file::encodingNamed(options.encodingName), nextYear, progress);
    if (showProgress) std::fputs("\r                                        \r", stderr);
    std::string().swap(bytes);  // the lines to add are all that is needed now
    if (!plan.hasGermanTitle) {
        say("keine Spalte fuer den Titel in Deutsch; Spalten der Datei: " + joined(plan.columns), charset);
        return 1;
    }
    const AppendReport report = import_file::appendNewLines(plan.newLines, options.keepDuplicates, options.dryRun);
    std::string lines;
    for (const import_file::LineProblem& problem : problems(plan, report)) {
        lines += said("Zeile " + std::to_string(problem.line) + ": " + problem.reason, charset);
        if (lines.size() >= PROBLEM_BYTES_WRITTEN) std::fputs(lines.c_str(), stderr), lines.clear();
    }
    std::fputs(lines.c_str(), stderr);
    std::string out = textInCharset(countsText(plan, report, options.dryRun), charset);
    if (options.dryRun && !report.added.empty()) out += "\n" + preview(plan, report, charset);
    std::fputs(out.c_str(), stdout);
    std::fflush(stdout);
    if (report.status != AppendStatus::Written) {
        say(libraryFailure(report.status, options.dryRun), charset);
        return 1;
    }
    if (plan.newLines.entries.empty() && !options.dryRun) {
        const std::string shownFile = "'" + shownArgument(options.file, charset) + "'";
        std::fprintf(stderr, "dvdverwaltung: keine DVD aus %s kann uebernommen werden\n", shownFile.c_str());
        return 1;
    }
    return 0;
}
