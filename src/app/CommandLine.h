#pragma once
#include <optional>
#include <string>
#include <vector>

#include "console/TextCharset.h"
#include "rental/LendingDates.h"

// The options a user of a Linux command expects. The screens themselves take
// no arguments; everything here happens before the screen starts.
namespace command_line {

enum class Action { RunScreens, ShowHelp, ShowVersion, WriteList, Import, WriteStatistics, Refuse };
enum class ListKind { Library, Rentals, Journal };

struct Request {
    Action action = Action::RunScreens;
    std::vector<std::string> directories;  // -C, in the order given
    ListKind list = ListKind::Library;     // WriteList: which one
    std::string refusal;                   // Refuse: the one-line reason, arguments as shownArgument shows them
    int lendingDays = lending_dates::DEFAULT_LENDING_DAYS;  // --leihfrist: days until a lending is overdue
    struct ImportOptions {
        std::string file;
        bool dryRun = false;               // --probelauf
        std::string encodingName;          // --zeichensatz, empty: detected
        bool keepDuplicates = false;       // --doppelte-behalten
    } import;
};

// The command line read with getopt_long: long options by any unambiguous
// prefix, the first word that is no option ends them. The messages are the
// program's own (getopt's are turned off).
Request parse(int argc, const char* const* argv, const TextCharset& charset);

// Carries out the command line: prints help, version, a list or an error,
// or changes into the directories. The exit status when the program ends
// here, nothing when the screens are to run.
std::optional<int> handle(int argc, const char* const* argv);

extern const char HELP_TEXT[];
extern const char USAGE_HINT[];
constexpr int EXIT_USAGE = 2;  // the usual status for a command used wrongly

}  // namespace command_line
