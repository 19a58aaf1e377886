#pragma once
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "Screen.h"

// Starts a command line in a fresh 80 x 49 pseudo-terminal and times it up to
// its first complete screen. The program and the program it is compared with
// go through this same code, so both figures carry the same overhead
// (fork, exec, reading the terminal, libvterm).
namespace bench {

struct FirstScreen {
    bool complete = false;
    double milliseconds = 0;  // from just before the fork to the read that completed the screen
    size_t bytes = 0;         // written up to then, and within the settle time after
};

// A screen not complete within the patience gives complete == false; the
// command is ended either way.
FirstScreen timeFirstScreen(const std::vector<std::string>& commandLine, const std::string& workingDirectory,
                            const std::function<bool(Screen&)>& complete,
                            std::chrono::milliseconds patience = std::chrono::seconds(5));

}  // namespace bench
