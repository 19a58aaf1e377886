#pragma once
// What both fuzzers need: a private working directory and a fault report.
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fuzzing {

inline void require(bool condition, const std::string& what) {
    if (condition) return;
    std::fprintf(stderr, "violated: %s\n", what.c_str());
    abort();
}

inline std::string readFile(const char* name) {
    std::ifstream in(name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// In memory where possible: every input is written, synced and renamed
// several times. Removed at exit.
inline void enterScratchDirectory(const char* prefix) {
    const std::filesystem::path base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::filesystem::temp_directory_path();
    static std::string workingDirectory = (base / (std::string(prefix) + "-XXXXXX")).string();
    if (mkdtemp(workingDirectory.data()) == nullptr || chdir(workingDirectory.c_str()) != 0) abort();
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(workingDirectory, ignored);
    });
}

}  // namespace fuzzing
