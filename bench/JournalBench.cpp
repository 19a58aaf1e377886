// Times the opening of the dated rental view at its largest: 1999 lendings
// (a full register) and a journal of 100000 events, every one about a title
// and borrower of those lendings, so that each is matched. Opening reads
// the register, reads and matches the whole journal, sorts, and makes every
// value the screen draws. Runs in a fresh directory under TMPDIR; prints the
// figure and exits 1 when its median is over the budget. The budget is held
// against the CPU time the opening takes, which a busy machine does not
// stretch; the wall-clock times are printed beside it.
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "DataFiles.h"
#include "app/ListColumns.h"
#include "app/RentalLists.h"
#include "rental/LendingJournal.h"
#include "rental/RentalRegister.h"

namespace {

constexpr int kJournalEvents = 100000;
constexpr int kRuns = 21;
constexpr double kBudgetMs = 50.0;

void writeFile(const char* name, const std::string& bytes) {
    std::ofstream(name, std::ios::binary | std::ios::trunc) << bytes;
}

// Earlier lendings of the same titles, each returned, then the 1999 current ones.
std::string fullJournal() {
    std::string text;
    const int earlierPairs = (kJournalEvents - bench_data::kFullRecordCount) / 2;
    const lending_dates::Day first = lending_dates::dayOf(2020, 1, 1);
    const auto line = [&](int event, const char* kind, int title) {
        text += lending_dates::isoDate(first + event / 40) + "," + kind + ",Der Fall " +
                std::to_string(1000 + title % bench_data::kFullRecordCount) + ",Muster,Max\r\n";
    };
    int event = 0;
    for (int pair = 0; pair < earlierPairs; ++pair, event += 2) {
        line(event, "verliehen", pair);
        line(event + 1, "zurueck", pair);
    }
    for (int title = 0; event < kJournalEvents; ++title, ++event) line(event, "verliehen", title);
    return text;
}

struct Timing {
    double wallMs;
    double cpuMs;
};

double cpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

Timing openOnce(RentalRegister& rentals, std::size_t& drawnBytes) {
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuMilliseconds();
    rentals.clear();
    rentals.load();
    const DatedRentals dated(rentals, lending_dates::dayOf(2026, 12, 7), lending_dates::DEFAULT_LENDING_DAYS);
    std::vector<int> shown;
    for (int row = 0; row < dated.count(); ++row) {
        shown.push_back(row);
        for (int column = 0; column < static_cast<int>(DatedRentals::columns().size()); ++column)
            drawnBytes += dated.value(row, column).size();
        drawnBytes += dated.overdue(row);
    }
    drawnBytes += dated.countLine(shown).size();
    return {std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count(),
            cpuMilliseconds() - cpuStart};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main() {
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp ? tmp : "/tmp") + "/journal-bench-XXXXXX";
    if (!mkdtemp(pattern.data())) return 2;
    std::filesystem::current_path(pattern);
    writeFile(bench_data::kRentalFileName, bench_data::fullRentalFile());
    writeFile(std::string(lending_journal::TABLE.fileName).c_str(), fullJournal());
    auto rentals = std::make_unique<RentalRegister>();
    std::size_t drawnBytes = 0;
    std::vector<double> wall;
    std::vector<double> cpu;
    for (int run = 0; run < kRuns; ++run) {
        const Timing timing = openOnce(*rentals, drawnBytes);
        wall.push_back(timing.wallMs);
        cpu.push_back(timing.cpuMs);
    }
    const double cpuMedian = median(cpu);
    std::printf("| Dated rental view opened: 1999 lendings, journal of %d events (%.1f MB) | CPU median %.1f ms (max %.1f); "
                "wall median %.1f ms (min %.1f, max %.1f; %d runs) | <= %.0f ms: %s |\n",
                kJournalEvents, static_cast<double>(std::filesystem::file_size(std::string(lending_journal::TABLE.fileName))) / 1e6,
                cpuMedian, *std::max_element(cpu.begin(), cpu.end()), median(wall),
                *std::min_element(wall.begin(), wall.end()), *std::max_element(wall.begin(), wall.end()), kRuns, kBudgetMs,
                cpuMedian <= kBudgetMs ? "met" : "NOT MET");
    std::filesystem::current_path("/");
    std::filesystem::remove_all(pattern);
    return drawnBytes > 0 && cpuMedian <= kBudgetMs ? 0 : 1;
}
