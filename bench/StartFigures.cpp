#include <unistd.h>

#include <stdexcept>

#include "BenchSupport.h"
#include "Figures.h"
#include "FirstScreen.h"

namespace bench {

namespace {

constexpr const char* kDialog = "/usr/bin/dialog";

// The program's main menu drawn by dialog, in the same size.
const std::vector<std::string> kDialogMenu = {kDialog, "--menu", "Wahl:", "49", "80", "2",
                                              "1", "DVD Bibliothek", "2", "DVD Verleih"};

bool dialogMenuComplete(Screen& screen) {
    return screen.shows("DVD Bibliothek") && screen.shows("DVD Verleih");
}

struct Series {
    std::vector<double> milliseconds;
    std::vector<double> bytes;

    void add(const FirstScreen& screen, const char* what) {
        if (!screen.complete) throw std::runtime_error(std::string(what) + ": no complete first screen");
        milliseconds.push_back(screen.milliseconds);
        bytes.push_back(static_cast<double>(screen.bytes));
    }
};

}  // namespace

std::vector<Row> measureStart(const Settings& settings) {
    FullDataDirectory directory;
    const std::vector<std::string> program = {DVD_BINARY};
    const bool withDialog = ::access(kDialog, X_OK) == 0;
    Series ours;
    Series theirs;
    // One start of each first, not counted: it brings the binaries and libraries into the page cache.
    timeFirstScreen(program, directory.path(), mainScreenComplete);
    if (withDialog) timeFirstScreen(kDialogMenu, directory.path(), dialogMenuComplete);
    // Taken in turns, so that both see the same load on the machine.
    for (int run = 0; run < settings.startRuns; ++run) {
        ours.add(timeFirstScreen(program, directory.path(), mainScreenComplete), "program");
        if (withDialog) theirs.add(timeFirstScreen(kDialogMenu, directory.path(), dialogMenuComplete), "dialog");
    }

    const double startMs = median(ours.milliseconds);
    const double screenBytes = median(ours.bytes);
    std::vector<Row> rows;
    Row start{1, "Start to the first full main screen",
              formatted("%.1f ms (min %.1f, max %.1f; %d runs)", startMs,
                        percentile(ours.milliseconds, 0), maximum(ours.milliseconds), settings.startRuns),
              ""};
    Row bytes{4, "Bytes of the first main screen", formatted("%.0f", screenBytes), ""};
    std::string startComparison = "dialog not installed", bytesComparison = startComparison;
    if (withDialog) {
        const double dialogMs = median(theirs.milliseconds);
        const double dialogBytes = median(theirs.bytes);
        startComparison = formatted("`dialog --menu`: %.1f ms (min %.1f, max %.1f); ratio %.2f", dialogMs,
                                    percentile(theirs.milliseconds, 0), maximum(theirs.milliseconds), startMs / dialogMs);
        bytesComparison = formatted("`dialog --menu`: %.0f; ratio %.2f", dialogBytes, screenBytes / dialogBytes);
    }
    judge(start, startMs, 300, "ms (median)", startComparison);
    judge(bytes, screenBytes, 6000, "bytes", bytesComparison);
    rows.push_back(start);
    rows.push_back(bytes);
    return rows;
}

}  // namespace bench
