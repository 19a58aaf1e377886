#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/CommandLine.h"
#include "app/LendingPeriod.h"
#include "app/ImportRun.h"
#include "app/ListText.h"
#include "app/StatisticsText.h"
#include "app/ShownArgument.h"
#include "platform/Platform.h"
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
