#pragma once
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

// A case of tests/scenarios read into plain data; the format is described in
// tests/scenarios/README.md. Shared by the in-process and the terminal runner.
namespace scenario {

// File name -> bytes; a folder is "NAME/" -> "", its files "NAME/FILE".
using Files = std::map<std::string, std::string>;

struct Step {
    enum class Kind { Keys, Wait, Screen, Write, Remove };
    Kind kind;
    std::vector<int> keys;  // Keys: the burst, in the program's key codes
    std::string name;       // Screen: the screen's name; Write, Remove: the file
    int line;               // in the keys file, for messages
};

struct Setup {
    int columns = 80;
    int rows = 49;
    bool terminal = true;
    bool printerRefuses = false;
    std::string date;  // JJJJ-MM-TT, the platform's calendar; empty: its default
};

struct Case {
    std::string name;  // path below the scenario folder, with '/'
    std::filesystem::path folder;
    std::vector<Step> steps;
    Files before;
    std::optional<Files> after;          // absent: as before
    Files between;                       // for @write
    std::optional<std::string> screen;   // absent: a missing expected file
    std::optional<std::string> output;
    std::optional<std::string> events;
    std::optional<std::string> printScreen;  // print.screen
    Files namedScreens;                  // NAME -> contents of NAME.screen, those present
    Setup setup;
};

// Throws std::runtime_error naming the file and line of a fault in the case.
Case load(const std::filesystem::path& root, const std::filesystem::path& folder);
// Every folder below root holding a keys file, sorted by name.
std::vector<std::filesystem::path> caseFolders(const std::filesystem::path& root);

std::optional<std::string> readFile(const std::filesystem::path& path);
// The files and folders below a folder; empty when it does not exist.
Files readFolder(const std::filesystem::path& folder);
// The same for a case's files, each NAME.recipe read as the file NAME it makes.
Files readFixtures(const std::filesystem::path& folder);

}  // namespace scenario
