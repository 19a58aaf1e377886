#pragma once
#include <sys/types.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "Terminal.h"
#include "Screen.h"

// What the terminal measurements share: a working directory with both data
// files full, the program started in it at 80 x 49, readings of the screen,
// of /proc and of a series of samples.
namespace bench {

constexpr int kRows = 49;
constexpr int kColumns = 80;

// A fresh directory holding both data files at 1999 records; removed at the end.
class FullDataDirectory {
public:
    // allLibraryFields: every library record with the nine fields filled.
    explicit FullDataDirectory(bool allLibraryFields = false);
    ~FullDataDirectory();
    FullDataDirectory(const FullDataDirectory&) = delete;
    FullDataDirectory& operator=(const FullDataDirectory&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

Terminal::Options programIn(const FullDataDirectory& directory);

// ---- the screen
bool cursorAt(Screen& screen, int row, int column);
// Every part of the main screen is there, the cursor after "Wahl:" included.
bool mainScreenComplete(Screen& screen);
// A sub-menu under this heading, waiting for its choice.
bool subMenuShown(Screen& screen, std::string_view heading);
bool headingShown(Screen& screen, std::string_view heading);
// Reads the program's output until the screen shows what is wanted; a program
// that does not get there ends the run, with the screen in the message.
void await(Terminal& session, const std::function<bool(Screen&)>& shown, std::string_view what);
// Nothing but cursor positioning and showing or hiding the cursor (or nothing at all).
bool onlyMovesTheCursor(const std::string& bytes);
// Bytes as text, escape shown as "ESC" and other control bytes as \xNN.
std::string visible(std::string_view bytes);

// ---- the process, from /proc
struct CpuReading {
    double statMilliseconds = 0;   // utime + stime, counted in clock ticks (10 ms)
    double schedMilliseconds = 0;  // the scheduler's run time, counted in nanoseconds
    long long contextSwitches = 0; // every time a thread went to sleep or was put off the CPU
};
CpuReading cpuOf(pid_t pid);
CpuReading operator-(const CpuReading& after, const CpuReading& before);
// Peak resident set size (VmHWM) in kB, or -1.
long peakResidentKilobytes(pid_t pid);

// ---- samples and their text
// printf into a string (up to 511 bytes).
std::string formatted(const char* format, ...) __attribute__((format(printf, 1, 2)));
double median(std::vector<double> values);
// The nearest-rank percentile (0-100).
double percentile(std::vector<double> values, double percent);
double maximum(const std::vector<double>& values);

}  // namespace bench
