#pragma once
#include <optional>
#include <string>
#include <vector>

// The options a user of a Linux command expects. The screens themselves take
// no arguments; everything here happens before the screen starts.
namespace command_line {

enum class Action { RunScreens, ShowHelp, ShowVersion, Refuse };

struct Request {
    Action action = Action::RunScreens;
    std::vector<std::string> directories;  // -C, in the order given
    std::string refusal;                   // Refuse: the one-line reason
};

Request parse(int argc, const char* const* argv);

// Carries out the command line: prints help, version or an error, or changes
// into the directories. The exit status when the program ends here, nothing
// when the screens are to run.
std::optional<int> handle(int argc, const char* const* argv);

}  // namespace command_line
