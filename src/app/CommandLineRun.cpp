#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "app/CommandLine.h"
#include "app/ListColumns.h"
#include "app/ListPrintout.h"
#include "library/DvdLibrary.h"
#include "platform/Platform.h"
#include "rental/RentalRegister.h"
#include "system/Version.h"

namespace command_line {

namespace {

int refuseWith(const std::string& reason) {
    std::fprintf(stderr, "dvdverwaltung: %s\n%s", reason.c_str(), USAGE_HINT);
    return EXIT_USAGE;
}

// Help and version that cannot be written (a full disk, a closed standard
// output) say so and fail, as a script must learn.
int writeOut(const std::string& text) {
    if (std::fputs(text.c_str(), stdout) >= 0 && std::fflush(stdout) == 0) return 0;
    std::fputs("dvdverwaltung: Schreibfehler auf der Standardausgabe\n", stderr);
    return 1;
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

template <typename Store>
struct LoadedList {
    std::unique_ptr<Store> store = std::make_unique<Store>();
    bool locked = false;
    bool unreadable = false;
};

template <typename Store>
LoadedList<Store> load(std::string_view fileName) {
    LoadedList<Store> loaded;
    loaded.store->clear();
    if (loaded.store->load()) return loaded;
    loaded.locked = loaded.store->wasLocked();
    std::error_code error;
    loaded.unreadable = !loaded.locked && std::filesystem::exists(fileName, error);
    return loaded;
}

// Standard output as the list's last stop: false, after saying why, when
// it could not take every byte; a reader that has gone is no news.
bool writeListOut(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0) return true;
    if (errno != EPIPE) std::fputs("dvdverwaltung: Schreibfehler auf der Standardausgabe\n", stderr);
    return false;
}

template <typename Store>
int writeLoaded(std::string_view fileName, const TextCharset& charset, PrintedList (*describe)(const Store&)) {
    const LoadedList<Store> loaded = load<Store>(fileName);
    if (loaded.locked || loaded.unreadable) {
        std::fprintf(stderr, "dvdverwaltung: %s %s\n", std::string(fileName).c_str(),
                     loaded.locked ? "ist gesperrt" : "kann nicht gelesen werden");
        return 1;
    }
    return writeListOut(listText(describe(*loaded.store), charset)) ? 0 : 1;
}

// The journal, newest first; a journal not kept is an empty list.
int writeJournalText(const TextCharset& charset) {
    const lending_journal::HeldEvents journal = lending_journal::readHeldEvents();
    if (journal.reading.locked || journal.reading.failed) {
        std::fprintf(stderr, "dvdverwaltung: %s %s\n", lending_journal::FILE_NAME,
                     journal.reading.locked ? "ist gesperrt" : "kann nicht gelesen werden");
        return 1;
    }
    return writeListOut(listText(journalPrintout(journal), charset)) ? 0 : 1;
}

// Loads the list's file from the working directory and writes the list to
// standard output in the charset (--liste). The exit status; a locked or
// unreadable file is said on standard error, a reader that has gone ends it
// silently.
int writeListText(ListKind kind, const TextCharset& charset) {
    if (kind == ListKind::Library) return writeLoaded<DvdLibrary>(library_record::FILE_NAME, charset, libraryPrintout);
    if (kind == ListKind::Journal) return writeJournalText(charset);
    return writeLoaded<RentalRegister>(rental_record::FILE_NAME, charset, rentalPrintout);
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
    // Relative directories count from the one before, as with make and git.
    for (const std::string& directory : request.directories)
        if (const auto reason = enterDirectory(directory, charset)) return refuseWith(*reason);
    if (request.action == Action::RunScreens) return std::nullopt;
    // A closed standard output would be taken over by the data file opened next.
    if (!platform::standardStreamsOpen()) return 1;
    if (request.action == Action::Import) return runImport(std::move(importBytes), request.import, charset);
    if (request.action == Action::WriteStatistics) return writeStatistics(charset);
    return writeListText(request.list, charset);
}

}  // namespace command_line
