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
#include "storage/Csv.h"
#include "storage/StoreLimits.h"

namespace {

constexpr double BUDGET_MS = 5.0;
constexpr int RUNS = 50;

double cpuMs() { return 1000.0 * static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

// The library's records from the bench's full file, read as a load reads them.
std::vector<std::vector<std::string>> fullLibraryRows() {
    std::vector<std::vector<std::string>> rows;
    const std::string file = bench_data::fullLibraryFile();
    storage::CsvRecordReader reader(
        library_record::TABLE.line, MAX_RECORDS,
        [&](std::size_t record, std::size_t column) -> std::string& {
            if (record >= rows.size()) rows.resize(record + 1, std::vector<std::string>(library_record::COLUMN_COUNT));
            return rows[record][column];
        },
        FIELD_BYTES_KEPT);
    reader.feed(file);
    reader.finish();
    rows.resize(reader.keptRecordCount(), std::vector<std::string>(library_record::COLUMN_COUNT));
    return rows;
}

}  // namespace

int main() {
    const std::vector<std::vector<std::string>> rows = fullLibraryRows();
    const int count = static_cast<int>(rows.size());
    bool allMet = true;
    std::printf("| order by | rows | fastest CPU | median wall | budget |\n|---|---|---|---|---|\n");
    const std::vector<ListColumn> columns = listColumnsOf(library_record::TABLE);
    for (std::size_t column = 0; column < columns.size(); ++column) {
        std::vector<double> wall;
        double fastestCpu = 1e300;
        for (int run = 0; run < RUNS; ++run) {
            const double cpuStart = cpuMs();
            const auto start = std::chrono::steady_clock::now();
            const std::vector<int> order = orderedRecords(count, columns[column].sortAs, [&](int record) {
                return rows[static_cast<std::size_t>(record)][column];
            });
            wall.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
            fastestCpu = std::min(fastestCpu, cpuMs() - cpuStart);
            if (order.size() != rows.size()) return 2;
        }
        std::sort(wall.begin(), wall.end());
        const bool met = fastestCpu <= BUDGET_MS;
        allMet = allMet && met;
        std::printf("| %s | %d | %.2f ms | %.2f ms | %.0f ms: %s |\n", std::string(columns[column].label).c_str(), count, fastestCpu,
                    wall[wall.size() / 2], BUDGET_MS, met ? "met" : "MISSED");
    }
    return allMet ? 0 : 1;
}
