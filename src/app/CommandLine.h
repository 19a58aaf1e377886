#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "console/Cp850.h"
#include "rental/LendingDates.h"
#include "storage/RecordScan.h"

// The options a user of a Linux command expects. The screens themselves take
// no arguments; everything here happens before the screen starts.
namespace command_line {

enum class Action { RunScreens, ShowHelp, ShowVersion, WriteList, Import, WriteStatistics, Export, Refuse };
enum class ListKind { Library, Rentals, Journal };

struct Request {
    Action action = Action::RunScreens;
    std::vector<std::string> directories;  // -C, in the order given
    ListKind list = ListKind::Library;     // WriteList, Export: which one
    std::string refusal;                   // Refuse: the one-line reason, arguments as shownArgument shows them
    int lendingDays = lending_dates::DEFAULT_LENDING_DAYS;  // --leihfrist: days until a lending is overdue
    struct ImportOptions {
        std::string file;
        bool dryRun = false;               // --probelauf
        std::string encodingName;          // --zeichensatz, empty: detected
        bool keepDuplicates = false;       // --doppelte-behalten
    } import;
    std::string exportFile;      // Export: the file as named
    bool overwrite = false;      // --ueberschreiben
};

// The command line read with getopt_long: long options by any unambiguous
// prefix, the first word that is no option ends them. The messages are the
// program's own (getopt's are turned off).
Request parse(int argc, const char* const* argv, const TextCharset& charset);

// Carries out the command line: prints help, version, a list or an error,
// or changes into the directories. The exit status when the program ends
// here, nothing when the screens are to run.
std::optional<int> handle(int argc, const char* const* argv);

// A data file that could not be read, said on standard error: "NAME ist
// gesperrt" or "NAME kann nicht gelesen werden". The exit status, 1.
int sayUnreadable(std::string_view fileName, const storage::FileRead& read);
// Text for standard output; when it cannot be written, that is said on
// standard error. The exit status.
int writeOut(const std::string& text);

extern const char HELP_TEXT[];
extern const char USAGE_HINT[];
constexpr int EXIT_USAGE = 2;  // the usual status for a command used wrongly

}  // namespace command_line

// An argument as an error message may echo it: control characters (C0, DEL,
// C1; in a set of one byte per character the bytes 0x80 to 0x9F) and bytes
// that are no character of the set as \xHH, a backslash as \\, so that no
// argument can drive the terminal the message lands on.
std::string shownArgument(std::string_view argument, const TextCharset& charset);

// The lending period the dated rental view measures against: 28 days unless
// the command line said otherwise (--leihfrist).
namespace lending_period {

int days();
void set(int days);

}  // namespace lending_period

// --import: adds the DVDs of a CSV file to the library file of the working
// directory all at once (or, --probelauf, only says what it would add).

// Reads the file to import as the command line names it ("-": standard
// input), at most as much as a data file is read; false, having said why on
// standard error, when it cannot. Before -C: the name counts from where the
// program was started.
bool readImportFile(const command_line::Request::ImportOptions& options, const TextCharset& charset, std::string& bytes);

// Imports the bytes read. The counts and the encoding read (and, on a dry
// run, the first records) go to standard output; every line refused, cut or
// skipped as a duplicate, with its number, to standard error. 0 when the
// import was written or the dry run done; 1 when nothing could be written.
int runImport(std::string bytes, const command_line::Request::ImportOptions& options, const TextCharset& charset);

// --export: writes a list's file of the working directory as a spreadsheet
// (import/SpreadsheetExport.h) to `path`, through a temporary file and a
// rename; an existing file only with `overwrite`, never a data file of the
// working directory. `shownName` is the file as the command line named it.
// The count goes to standard output, a failure to standard error; 0 when
// the file was written, else 1.
int runExport(command_line::ListKind list, const std::string& path, const std::string& shownName, bool overwrite,
              const TextCharset& charset);

