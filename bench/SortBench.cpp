// Times one press of 's' in a full library list: the 1999 rows ordered by
// each column in turn (the German title folds every value; the length parses
// every value). Exits 1 when the fastest run's CPU time of a column misses
// the budget; on a busy machine the wall-clock time says more about the
// others, so both are printed.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "DataFiles.h"
#include "app/ListColumns.h"
#include "app/ListView.h"
#include "library/DvdLibrary.h"

namespace {

constexpr double BUDGET_MS = 5.0;
constexpr int RUNS = 50;

double cpuMs() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// The library's records from the bench's full file, parsed as a load parses them.
std::vector<std::vector<std::string>> fullLibraryRows() {
    std::vector<std::vector<std::string>> rows;
    const std::string file = bench_data::fullLibraryFile();
    std::size_t start = 0;
    while (start < file.size()) {
        std::size_t end = file.find("\r\n", start);
        if (end == std::string::npos) end = file.size();
        std::vector<std::string> fields;
        std::size_t fieldStart = start;
        for (std::size_t comma; (comma = file.find(',', fieldStart)) < end; fieldStart = comma + 1)
            fields.push_back(file.substr(fieldStart, comma - fieldStart));
        rows.push_back(std::move(fields));
        start = end + 2;
    }
    return rows;
}

}  // namespace

int main() {
    const std::vector<std::vector<std::string>> rows = fullLibraryRows();
    const int count = static_cast<int>(rows.size());
    bool allMet = true;
    std::printf("| order by | rows | fastest CPU | median wall | budget |\n|---|---|---|---|---|\n");
    const auto columns = libraryColumns();
    for (std::size_t column = 0; column < columns.size(); ++column) {
        std::vector<double> wall;
        double fastestCpu = 1e300;
        for (int run = 0; run < RUNS; ++run) {
            const double cpuStart = cpuMs();
            const auto start = std::chrono::steady_clock::now();
            const std::vector<int> order = orderedRecords(count, columns[column].sortAs, [&](int record) {
                const std::vector<std::string>& fields = rows[static_cast<std::size_t>(record)];
                return column < fields.size() ? fields[column] : std::string();
            });
            wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            fastestCpu = std::min(fastestCpu, cpuMs() - cpuStart);
            if (order.size() != rows.size()) return 2;
        }
        std::sort(wall.begin(), wall.end());
        const bool met = fastestCpu <= BUDGET_MS;
        allMet = allMet && met;
        std::printf("| %s | %d | %.2f ms | %.2f ms | %.0f ms: %s |\n", columns[column].label, count, fastestCpu,
                    wall[wall.size() / 2], BUDGET_MS, met ? "met" : "MISSED");
    }
    return allMet ? 0 : 1;
}
