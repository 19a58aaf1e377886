#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "app/CollectionStatistics.h"
#include "app/CommandLine.h"
#include "app/DialogSupport.h"
#include "app/ListColumns.h"
#include "app/ListPrintout.h"
#include "library/DvdLibrary.h"
#include "library/LibraryRecord.h"
#include "platform/Platform.h"
#include "rental/LendingJournal.h"
#include "rental/RentalRecord.h"
#include "rental/RentalRegister.h"
#include "storage/RecordScan.h"
#include "system/Version.h"

namespace command_line {

namespace {

}  // namespace

int sayUnreadable(std::string_view fileName, const storage::FileRead& read) {
    std::fprintf(stderr, "dvdverwaltung: %s %s\n", std::string(fileName).c_str(),
                 read.locked() ? "ist gesperrt" : "kann nicht gelesen werden");
    return 1;
}

// Help, version and figures that cannot be written (a full disk, a closed
// standard output) say so and fail, as a script must learn.
int writeOut(const std::string& text) {
    if (std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0) return 0;
    std::fputs("dvdverwaltung: Schreibfehler auf der Standardausgabe\n", stderr);
    return 1;
}

namespace {

int refuseWith(const std::string& reason) {
    std::fprintf(stderr, "dvdverwaltung: %s\n%s", reason.c_str(), USAGE_HINT);
    return EXIT_USAGE;
}

// Changes into the directory; the reason when it cannot.
std::optional<std::string> enterDirectory(const std::string& directory, const TextCharset& charset) {
    const std::string shown = "'" + shownArgument(directory, charset) + "'";
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(directory, error);
    // Such a directory may well exist; the system just cannot be told its name.
    if (error == std::errc::filename_too_long)
        return "Verzeichnis " + shown + " hat einen zu langen Namen (mehr als das System erlaubt)";
    if (!std::filesystem::exists(status)) return "Verzeichnis " + shown + " gibt es nicht";
    if (!std::filesystem::is_directory(status)) return shown + " ist kein Verzeichnis";
    std::filesystem::current_path(directory, error);
    if (error) return "Verzeichnis " + shown + " kann nicht betreten werden";
    return std::nullopt;
}

// Standard output as the list's last stop: false, after saying why, when
// it could not take every byte; a reader that has gone is no news.
bool writeListOut(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) return true;
    if (errno != EPIPE) std::fputs("dvdverwaltung: Schreibfehler auf der Standardausgabe\n", stderr);
    return false;
}

// A store's list, loaded from the working directory.
template <typename Store>
int writeLoaded(const TextCharset& charset) {
    const auto store = std::make_unique<Store>();
    store->clear();
    store->load();
    const storage::FileRead read{store->loadResult()};
    if (!read.ok()) return sayUnreadable(store->table().fileName, read);
    return writeListOut(listText(printedList(*store), charset)) ? 0 : 1;
}

// The journal, newest first; a journal not kept is an empty list.
int writeJournalText(const TextCharset& charset) {
    const lending_journal::HeldEvents journal = lending_journal::readHeldEvents();
    if (!journal.reading.ok()) return sayUnreadable(lending_journal::TABLE.fileName, journal.reading);
    return writeListOut(listText(journalPrintout(journal), charset)) ? 0 : 1;
}

// Loads the list's file from the working directory and writes the list to
// standard output in the charset (--liste). The exit status; a locked or
// unreadable file is said on standard error, a reader that has gone ends it
// silently.
int writeListText(ListKind kind, const TextCharset& charset) {
    if (kind == ListKind::Library) return writeLoaded<DvdLibrary>(charset);
    if (kind == ListKind::Journal) return writeJournalText(charset);
    return writeLoaded<RentalRegister>(charset);
}

constexpr std::size_t BORROWERS_SHOWN = 5;

// The lendings overdue by the journal's dates and the lending period.
storage::FileRead overdueLendings(const RentalRecords& rentals, std::optional<long>& overdue) {
    std::vector<lending_dates::Borrowing> lendings;
    for (const auto& fields : rentals)
        lendings.push_back({fields[rental_record::FILM_TITLE], fields[rental_record::SURNAME], fields[rental_record::FIRST_NAME]});
    const lending_journal::LendingDates dated = lending_journal::datesOf(lendings);
    if (!dated.reading.ok()) return dated.reading;
    const lending_dates::Day today = journal_entry::today();
    overdue = std::count_if(dated.dates.begin(), dated.dates.end(), [&](const std::optional<lending_dates::Day>& since) {
        return lending_dates::isOverdue(since, today, lending_period::days());
    });
    return dated.reading;
}

// --statistik: counts the DVDs of the library file and the lendings of the
// rental file in the working directory and writes the figures to standard
// output in columns, as --liste writes its lists. Exit status as --liste.
int writeStatistics(const TextCharset& charset) {
    LibraryRecords library;
    RentalRecords rentals;
    for (const auto& [table, records] : {std::pair{&library_record::TABLE, &library}, std::pair{&rental_record::TABLE, &rentals}}) {
        const storage::FileRead read =
            storage::readRecords(*table, [records](const std::vector<std::string>& fields) { records->push_back(fields); });
        if (!read.ok()) return sayUnreadable(table->fileName, read);
    }
    CollectionStatistics figures = countCollection(library, rentals, BORROWERS_SHOWN);
    // A journal that cannot be read is said, not left out of the figures.
    if (const storage::FileRead read = overdueLendings(rentals, figures.overdue); !read.ok())
        return sayUnreadable(lending_journal::TABLE.fileName, read);
    return writeOut(textInCharset(statisticsText(figures), charset));
}

}  // namespace

std::optional<int> handle(int argc, const char* const* argv) {
    const TextCharset charset = platform::textCharset();
    const Request request = parse(argc, argv, charset);
    switch (request.action) {
    case Action::Refuse: return refuseWith(request.refusal);
    case Action::ShowHelp: return writeOut(HELP_TEXT);
    case Action::ShowVersion: return writeOut(std::string("dvdverwaltung ") + PROGRAM_VERSION + "\n");
    case Action::WriteList:
    case Action::Import:
    case Action::WriteStatistics:
    case Action::Export:
    case Action::RunScreens: break;
    }
    lending_period::set(request.lendingDays);
    // The file to import is read before -C, so that it is named from where
    // the program was started, as a shell's file names are. (A closed
    // standard output would be taken over by the file opened next.)
    std::string importBytes;
    if (request.action == Action::Import &&
        (!platform::standardStreamsOpen() || !readImportFile(request.import, charset, importBytes)))
        return 1;
    // So is the file to export to.
    std::string exportPath;
    std::error_code error;
    if (request.action == Action::Export && !request.exportFile.empty())
        exportPath = std::filesystem::absolute(request.exportFile, error).string();
    // Relative directories count from the one before, as with make and git.
    for (const std::string& directory : request.directories)
        if (const auto reason = enterDirectory(directory, charset)) return refuseWith(*reason);
    if (request.action == Action::RunScreens) return std::nullopt;
    // A closed standard output would be taken over by the data file opened next.
    if (!platform::standardStreamsOpen()) return 1;
    if (request.action == Action::Import) return runImport(std::move(importBytes), request.import, charset);
    if (request.action == Action::WriteStatistics) return writeStatistics(charset);
    if (request.action == Action::Export)
        return runExport(request.list, exportPath, request.exportFile, request.overwrite, charset);
    return writeListText(request.list, charset);
}

}  // namespace command_line
