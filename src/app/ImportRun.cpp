#include "app/ImportRun.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>

#include "app/LibraryColumns.h"
#include "app/ListText.h"
#include "app/ShownArgument.h"
#include "library/DvdLibrary.h"
#include "library/ImportCsv.h"
#include "library/ImportPlan.h"
#include "platform/Platform.h"
#include "storage/StoreLimits.h"

namespace {

using import_file::AppendReport;
using import_file::ImportPlan;

// A dry run shows this many of the records it would add.
constexpr std::size_t PREVIEW_RECORDS = 10;
// Files longer than this show how far the reading has come.
constexpr long PROGRESS_FROM_LINES = 10000;

void say(const std::string& cp850Text, const TextCharset& charset) {
    std::fputs(("dvdverwaltung: " + textInCharset(cp850Text, charset) + "\n").c_str(), stderr);
}

bool readWhole(const std::string& file, std::string& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    // Larger than a data file is ever read: refused before it is held.
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || size > FILE_BYTES_SCANNED) return false;
    in.seekg(0);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

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
    const auto empty = std::make_unique<DvdLibrary>();
    PrintedList list = libraryPrintout(*empty);
    list.recordCount = static_cast<int>(rows.size());
    list.value = [&rows](int record, int column) { return rows[record][column]; };
    return listText(list, charset);
}

std::string countsText(const ImportPlan& plan, const AppendReport& report, bool dryRun) {
    const std::size_t added = report.status == AppendReport::Status::Written ? report.added.size() : 0;
    std::ostringstream text;
    if (dryRun) text << "Probelauf, nichts geschrieben\n";
    text << added << (dryRun ? " wuerden hinzugefuegt\n" : " hinzugefuegt\n");
    text << report.duplicates << " doppelt, uebersprungen\n";
    text << plan.refused.size() << " abgelehnt\n";
    if (!plan.ignoredColumns.empty()) text << "Nicht uebernommene Spalten: " << joined(plan.ignoredColumns) << "\n";
    return text.str();
}

}  // namespace

int runImport(const std::string& file, const command_line::Request::ImportOptions& options, const TextCharset& charset) {
    // Named as the command line named it, though opened from where the program started.
    const std::string shownFile = "'" + shownArgument(options.file, charset) + "'";
    std::string bytes;
    if (!readWhole(file, bytes)) {
        std::fprintf(stderr, "dvdverwaltung: %s kann nicht gelesen werden\n", shownFile.c_str());
        return 1;
    }
    long lineCount = 0;
    for (const char byte : bytes) lineCount += byte == '\n';
    const bool showProgress = lineCount > PROGRESS_FROM_LINES && platform::errorIsTerminal();
    const auto progress = [&](long line) {
        if (showProgress) std::fprintf(stderr, "\rZeile %ld von %ld ...", line, lineCount);
    };
    const ImportPlan plan = import_file::planImport(bytes, import_file::encodingNamed(options.encodingName), progress);
    if (showProgress) std::fputs("\r                                        \r", stderr);
    std::string().swap(bytes);  // the lines to add are all that is needed now
    if (!plan.hasGermanTitle) {
        say("keine Spalte fuer den Titel in Deutsch; Spalten der Datei: " + joined(plan.columns), charset);
        return 1;
    }
    for (const auto* problems : {&plan.refused, &plan.cut})
        for (const import_file::LineProblem& problem : *problems)
            say("Zeile " + std::to_string(problem.line) + (problems == &plan.refused ? ": abgelehnt, " : ": ") +
                    problem.reason,
                charset);
    const AppendReport report = import_file::appendNewLines(plan.newLines, options.keepDuplicates, options.dryRun);
    std::string out = textInCharset(countsText(plan, report, options.dryRun), charset);
    if (options.dryRun && !report.added.empty()) out += "\n" + preview(plan, report, charset);
    std::fputs(out.c_str(), stdout);
    std::fflush(stdout);
    switch (report.status) {
    case AppendReport::Status::Locked: say("DVDBibliothek.csv ist gesperrt, nichts geschrieben", charset); return 1;
    case AppendReport::Status::Failed: say("DVDBibliothek.csv: Schreiben fehlgeschlagen, nichts geschrieben", charset); return 1;
    case AppendReport::Status::Written: break;
    }
    if (plan.newLines.entries.empty() && !options.dryRun) {
        std::fprintf(stderr, "dvdverwaltung: keine DVD aus %s kann uebernommen werden\n", shownFile.c_str());
        return 1;
    }
    return 0;
}
