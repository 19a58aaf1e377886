// The budget of --import: 100,000 lines within 5 s and 32 MiB of memory.
// Writes a spreadsheet export of that many lines (UTF-8, semicolons, a
// header, quoted fields holding separators, umlauts, a few bad lengths and
// duplicates), runs the real program on it in a fresh directory under
// TMPDIR, and prints the wall time and the child's peak resident memory.
// Exit 1 when either is over budget.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int LINES = 100000;
constexpr double SECONDS_ALLOWED = 5.0;
constexpr long KIB_ALLOWED = 32 * 1024;

void writeImportFile(const std::filesystem::path& path) {
    std::ofstream out(path, std::ios::binary);
    out << "Titel;Originaltitel;Genre;Laufzeit;Regie\r\n";
    for (int line = 1; line < LINES; ++line) {
        // Every 1000th line repeats the one before; every 5000th has no length.
        const int number = line % 1000 == 0 ? line - 1 : line;
        out << "\"M\xc3\xa4rchen Nr. " << number << "; Teil " << number % 7 << "\";Fairy tale " << number
            << ";\"Drama, Fantasy\";" << (line % 5000 == 0 ? std::string("lang") : std::to_string(60 + number % 120))
            << " min;Regisseurin " << number % 300 << "\r\n";
    }
}

}  // namespace

int main() {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("dvd-import-figures-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    writeImportFile(folder / "export.csv");
    const auto started = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(127);
        std::freopen("/dev/null", "w", stdout);
        std::freopen("/dev/null", "w", stderr);
        ::execl(DVD_BINARY, DVD_BINARY, "--import", "export.csv", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const auto libraryBytes = fs::file_size(folder / "DVDBibliothek.csv");
    fs::remove_all(folder);
    std::printf("import of %d lines: %.2f s, peak memory %ld KiB, exit %d, library %ju bytes\n", LINES, seconds,
                usage.ru_maxrss, WIFEXITED(status) ? WEXITSTATUS(status) : -1, static_cast<std::uintmax_t>(libraryBytes));
    const bool within = WIFEXITED(status) && WEXITSTATUS(status) == 0 && seconds <= SECONDS_ALLOWED &&
                        usage.ru_maxrss <= KIB_ALLOWED;
    std::printf("budget %.0f s, %ld KiB: %s\n", SECONDS_ALLOWED, KIB_ALLOWED, within ? "kept" : "EXCEEDED");
    return within ? 0 : 1;
}
