#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "app/CommandLine.h"
#include "import/SpreadsheetExport.h"
#include "library/LibraryRecord.h"
#include "platform/Platform.h"
#include "rental/LendingJournal.h"
#include "rental/RentalRecord.h"
#include "storage/DataFile.h"
#include "storage/RecordScan.h"
#include "storage/StoreLimits.h"

namespace {

const storage::RecordTable& tableOf(command_line::ListKind list) {
    if (list == command_line::ListKind::Library) return library_record::TABLE;
    if (list == command_line::ListKind::Journal) return lending_journal::TABLE;
    return rental_record::TABLE;
}

// Overwritten, a data file would lose every record to a spreadsheet.
bool isDataFile(const std::string& path) {
    for (const storage::RecordTable* table : {&library_record::TABLE, &rental_record::TABLE, &lending_journal::TABLE}) {
        std::error_code error;
        if (std::filesystem::equivalent(path, table->fileName, error)) return true;
    }
    return false;
}

}  // namespace

int runExport(command_line::ListKind list, const std::string& path, const std::string& shownName, bool overwrite,
              const TextCharset& charset) {
    const std::string shownFile = "'" + shownArgument(shownName, charset) + "'";
    std::error_code error;
    const bool exists = !path.empty() && std::filesystem::symlink_status(path, error).type() != std::filesystem::file_type::not_found;
    if (exists && isDataFile(path)) {
        std::fprintf(stderr, "dvdverwaltung: %s ist eine Datei des Programms, nichts geschrieben\n", shownFile.c_str());
        return 1;
    }
    if (exists && !overwrite) {
        std::fprintf(stderr, "dvdverwaltung: %s gibt es schon, nichts geschrieben (--ueberschreiben ersetzt sie)\n",
                     shownFile.c_str());
        return 1;
    }
    const storage::RecordTable& table = tableOf(list);
    std::string text = spreadsheet::header(table);
    long records = 0;
    const storage::FileRead read = storage::readRecords(table, [&](const std::vector<std::string>& fields) {
        spreadsheet::appendRow(fields, text);
        ++records;
    });
    if (!read.ok()) return command_line::sayUnreadable(table.fileName, read);
    // A spreadsheet of part of a file would pass for all of it.
    if (read.stoppedAtBound) {
        std::fprintf(stderr, "dvdverwaltung: %s ist groesser als %lld MiB, nichts geschrieben\n",
                     std::string(table.fileName).c_str(), FILE_BYTES_SCANNED / (1024 * 1024));
        return 1;
    }
    // Stopped by a signal, the export leaves no temporary file.
    platform::endThroughCleanupOnInterrupt();
    storage::DataFile file(path, storage::DataFile::Purpose::Append);
    if (!file.isOpen() || !file.replaceWith(text)) {
        if (file.isOpen()) file.removeIfCreatedEmpty();
        std::fprintf(stderr, "dvdverwaltung: %s kann nicht geschrieben werden\n", shownFile.c_str());
        return 1;
    }
    const std::string count = std::to_string(records) + " " + std::string(records == 1 ? table.oneRecord : table.manyRecords);
    return command_line::writeOut(count + " in " + shownFile + " geschrieben\n");
}
