#include "app/CommandLine.h"

#include <cstdio>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace command_line {

namespace {

constexpr int EXIT_USAGE = 2;  // the usual status for a command used wrongly

constexpr char VERSION_TEXT[] = "dvdverwaltung 1.5\n";

constexpr char HELP_TEXT[] =
    "Aufruf: dvdverwaltung [OPTION]...\n"
    "Verwaltet eine DVD-Sammlung und die verliehenen DVDs in den Dateien\n"
    "DVDBibliothek.csv und DVDVerleih.csv des aktuellen Verzeichnisses.\n"
    "\n"
    "  -C VERZEICHNIS, --directory=VERZEICHNIS\n"
    "                 mit den Dateien in VERZEICHNIS arbeiten\n"
    "  -h, --help     diese Hilfe zeigen und beenden\n"
    "      --version  die Version zeigen und beenden\n"
    "\n"
    "Ohne Option startet das Programm im aktuellen Verzeichnis.\n"
    "Mehr dazu: man dvdverwaltung\n";

constexpr char USAGE_HINT[] = "Aufruf: dvdverwaltung [-C VERZEICHNIS]; Hilfe: dvdverwaltung --help\n";

Request refuse(std::string reason) {
    Request request;
    request.action = Action::Refuse;
    request.refusal = std::move(reason);
    return request;
}

int refuseWith(const std::string& reason) {
    std::fprintf(stderr, "dvdverwaltung: %s\n%s", reason.c_str(), USAGE_HINT);
    return EXIT_USAGE;
}

// Changes into the directory; the reason when it cannot.
std::optional<std::string> enterDirectory(const std::string& directory) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(directory, error);
    if (!std::filesystem::exists(status)) return "Verzeichnis '" + directory + "' gibt es nicht";
    if (!std::filesystem::is_directory(status)) return "'" + directory + "' ist kein Verzeichnis";
    std::filesystem::current_path(directory, error);
    if (error) return "Verzeichnis '" + directory + "' kann nicht betreten werden";
    return std::nullopt;
}

}  // namespace

Request parse(int argc, const char* const* argv) {
    Request request;
    bool optionsEnded = false;
    for (int index = 1; index < argc; ++index) {
        const std::string_view argument = argv[index];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-')
            return refuse("ueberzaehliges Argument '" + std::string(argument) + "'");
        if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "-h" || argument == "--help") {
            if (request.action == Action::RunScreens) request.action = Action::ShowHelp;
        } else if (argument == "--version") {
            if (request.action == Action::RunScreens) request.action = Action::ShowVersion;
        } else if (argument == "-C" || argument == "--directory") {
            if (index + 1 >= argc) return refuse("Option '" + std::string(argument) + "' braucht ein Verzeichnis");
            request.directories.emplace_back(argv[++index]);
        } else if (argument.starts_with("--directory=")) {
            request.directories.emplace_back(argument.substr(std::string_view("--directory=").size()));
        } else if (argument.starts_with("-C")) {
            request.directories.emplace_back(argument.substr(2));
        } else {
            return refuse("unbekannte Option '" + std::string(argument) + "'");
        }
    }
    return request;
}

std::optional<int> handle(int argc, const char* const* argv) {
    const Request request = parse(argc, argv);
    switch (request.action) {
    case Action::Refuse: return refuseWith(request.refusal);
    case Action::ShowHelp: std::fputs(HELP_TEXT, stdout); return 0;
    case Action::ShowVersion: std::fputs(VERSION_TEXT, stdout); return 0;
    case Action::RunScreens: break;
    }
    // Relative directories count from the one before, as with make and git.
    for (const std::string& directory : request.directories)
        if (const auto reason = enterDirectory(directory)) return refuseWith(*reason);
    return std::nullopt;
}

}  // namespace command_line
