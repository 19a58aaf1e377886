#pragma once
#include <string>
#include <vector>

// The terminal measurements, each giving rows of the report's table.
namespace bench {

// Every figure guards a budget (docs/benchmarks.md): one over it fails the run.
struct Row {
    int section = 0;     // 1 start, 2 key to screen, 3 idle, 4 bytes, 5 files and memory
    std::string figure;
    std::string result;
    std::string goal;    // the budget, whether it is met, and any comparison
    bool over = false;
};

// Sets the row's verdict: `value` against at most `limit` (in `unit`), a
// comparison kept after it.
void judge(Row& row, double value, double limit, const char* unit, const std::string& comparison = "");

struct Settings {
    int startRuns = 21;
    int fieldKeys = 500;
    int menuRoundTrips = 500;  // '1' and Escape each this often
    int idleSeconds = 10;
    int idleRounds = 3;
};

// 1 and 4: the first screen, of the program and of dialog --menu.
std::vector<Row> measureStart(const Settings& settings);
// 2: key to screen in a field and between menus.
std::vector<Row> measureKeyLatency(const Settings& settings);
// 3: CPU over the idle span in every kind of wait, all waits at once.
std::vector<Row> measureIdleCost(const Settings& settings);
// 4: bytes for a key, a list, a redraw.
std::vector<Row> measureScreenBytes();
// 5: peak memory with both files full and both lists opened.
std::vector<Row> measurePeakMemory();

}  // namespace bench
