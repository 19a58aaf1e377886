#include "BenchSupport.h"
#include "Figures.h"

#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <stdexcept>

#include "DataFiles.h"

namespace bench {

namespace {

// The value after "Name:" in /proc/<pid>/status, or -1.
long statusValue(const std::string& statusPath, const std::string& name) {
    std::ifstream status(statusPath);
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(name + ":", 0) == 0) return std::stol(line.substr(name.size() + 1));
    }
    return -1;
}

}  // namespace

FullDataDirectory::FullDataDirectory(bool allLibraryFields) {
    std::string pattern = (std::filesystem::temp_directory_path() / "dvd-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
    ::writeFile(path_ + "/" + bench_data::kLibraryFileName, bench_data::fullLibraryFile(allLibraryFields));
    ::writeFile(path_ + "/" + bench_data::kRentalFileName, bench_data::fullRentalFile());
}

FullDataDirectory::~FullDataDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

Terminal::Options programIn(const FullDataDirectory& directory) {
    Terminal::Options options;
    options.command = {DVD_BINARY};
    options.directory = directory.path();
    return options;
}

bool cursorAt(Screen& screen, int row, int column) {
    return screen.cursor() == Screen::Position{row, column};
}

bool mainScreenComplete(Screen& screen) {
    if (!screen.showsAt(20, 30, "Wahl:") || !cursorAt(screen, 20, 35)) return false;
    for (int column = 0; column < kColumns; ++column)
        if (screen.cell(5, column).codePoint != U'\u2500') return false;
    return screen.showsAt(2, 8, "DVD Verwaltungs-System") && screen.showsAt(12, 32, "DVD Verleih") &&
           screen.title() == "DVD Verwaltung";
}

bool headingShown(Screen& screen, std::string_view heading) { return screen.showsAt(2, 32, heading); }

bool subMenuShown(Screen& screen, std::string_view heading) {
    return headingShown(screen, heading) && screen.showsAt(25, 30, "Wahl:") && cursorAt(screen, 25, 35);
}

void await(Terminal& session, const std::function<bool(Screen&)>& shown, std::string_view what) {
    Screen& screen = session.screen();
    if (session.waitFor([&] { return shown(screen); })) return;
    const Screen::Position cursor = screen.cursor();
    throw std::runtime_error("no " + std::string(what) + " on the screen (cursor at row " + std::to_string(cursor.row) +
                             ", column " + std::to_string(cursor.column) + "):" + screen.dump());
}

bool onlyMovesTheCursor(const std::string& bytes) {
    static const std::regex cursorOnly("(\x1b\\[[0-9;]*[Hf]|\x1b\\[\\?25[hl])*");
    return std::regex_match(bytes, cursorOnly);
}

std::string visible(std::string_view bytes) {
    std::string shown;
    for (unsigned char byte : bytes) {
        if (byte == 0x1b) {
            shown += "ESC";
        } else if (byte < 0x20 || byte == 0x7f) {
            char code[8];
            std::snprintf(code, sizeof code, "\\x%02X", byte);
            shown += code;
        } else {
            shown += static_cast<char>(byte);
        }
    }
    return shown;
}

// Summed over every thread, so a helper thread that wakes up is counted too.
CpuReading cpuOf(pid_t pid) {
    CpuReading reading;
    const std::string process = "/proc/" + std::to_string(pid);
    std::ifstream stat(process + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto afterName = line.rfind(')');
    if (afterName == std::string::npos) return reading;
    std::istringstream fields(line.substr(afterName + 2));
    std::vector<std::string> values;
    for (std::string value; fields >> value;) values.push_back(value);
    if (values.size() > 12) {
        const double ticks = std::stod(values[11]) + std::stod(values[12]);
        reading.statMilliseconds = ticks * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
    }
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator(process + "/task", error)) {
        std::ifstream schedstat(task.path() / "schedstat");
        double nanoseconds = 0;
        if (schedstat >> nanoseconds) reading.schedMilliseconds += nanoseconds / 1e6;
        const std::string status = (task.path() / "status").string();
        reading.contextSwitches +=
            std::max(0L, statusValue(status, "voluntary_ctxt_switches")) +
            std::max(0L, statusValue(status, "nonvoluntary_ctxt_switches"));
    }
    return reading;
}

CpuReading operator-(const CpuReading& after, const CpuReading& before) {
    return {after.statMilliseconds - before.statMilliseconds, after.schedMilliseconds - before.schedMilliseconds,
            after.contextSwitches - before.contextSwitches};
}

long peakResidentKilobytes(pid_t pid) { return statusValue("/proc/" + std::to_string(pid) + "/status", "VmHWM"); }

std::string formatted(const char* format, ...) {
    char buffer[512];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    return buffer;
}

double median(std::vector<double> values) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double percentile(std::vector<double> values, double percent) {
    if (values.empty()) return NAN;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<size_t>(std::ceil(percent / 100.0 * static_cast<double>(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

double maximum(const std::vector<double>& values) {
    return values.empty() ? NAN : *std::max_element(values.begin(), values.end());
}

void judge(Row& row, double value, double limit, const char* unit, const std::string& comparison) {
    row.over = !(value <= limit);
    row.goal = formatted("budget %g %s: %s", limit, unit, row.over ? "OVER" : "met") +
               (comparison.empty() ? "" : "; " + comparison);
}

}  // namespace bench
