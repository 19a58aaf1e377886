// Figures of the real program in a pseudo-terminal at 80 x 49: time to the
// first main screen, key to screen, CPU while idle, bytes written, peak
// memory. Prints the rows of a markdown table (| section | figure | result |
// budget |) on standard output and its progress on standard error; ends with
// status 3 when a figure is over its budget.
// Meant for a release build; scripts/bench.sh runs it.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <string>

#include "Figures.h"

namespace {

void usage() {
    std::fprintf(stderr,
                 "usage: terminal_figures [--start-runs N] [--field-keys N] [--menu-trips N]\n"
                 "                        [--idle-seconds N] [--idle-rounds N]\n");
    std::exit(2);
}

bench::Settings settingsFrom(int argc, char** argv) {
    bench::Settings settings;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) usage();
        const int value = std::atoi(argv[i + 1]);
        if (value <= 0) usage();
        const std::string name = argv[i];
        if (name == "--start-runs") settings.startRuns = value;
        else if (name == "--field-keys") settings.fieldKeys = value;
        else if (name == "--menu-trips") settings.menuRoundTrips = value;
        else if (name == "--idle-seconds") settings.idleSeconds = value;
        else if (name == "--idle-rounds") settings.idleRounds = value;
        else usage();
    }
    return settings;
}

template <typename Measure>
void run(const char* what, std::vector<bench::Row>& rows, Measure measure) {
    std::fprintf(stderr, "-- %s\n", what);
    for (bench::Row& row : measure()) rows.push_back(std::move(row));
}

}  // namespace

int main(int argc, char** argv) {
    const bench::Settings settings = settingsFrom(argc, argv);
    std::vector<bench::Row> rows;
    try {
        run("start (program and dialog, in turns)", rows, [&] { return bench::measureStart(settings); });
        run("key to screen", rows, [&] { return bench::measureKeyLatency(settings); });
        run("bytes", rows, [] { return bench::measureScreenBytes(); });
        run("peak memory", rows, [] { return bench::measurePeakMemory(); });
        run("idle cost (every wait at once)", rows, [&] { return bench::measureIdleCost(settings); });
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "terminal_figures: %s\n", failure.what());
        return 1;
    }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const bench::Row& a, const bench::Row& b) { return a.section < b.section; });
    int over = 0;
    for (const bench::Row& row : rows) {
        std::printf("| %d | %s | %s | %s |\n", row.section, row.figure.c_str(), row.result.c_str(), row.goal.c_str());
        if (row.over) std::fprintf(stderr, "terminal_figures: over budget: %s\n", row.figure.c_str()), ++over;
    }
    return over == 0 ? 0 : 3;
}
