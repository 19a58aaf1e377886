// Figures of the real program in a pseudo-terminal: time to the first full
// main screen, CPU used while idle, bytes written for a screen and a key.
// Meant for a release build; not part of the tests.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "PtySession.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "dvd-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) std::exit(2);
        path_ = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

PtySession::Options programIn(const ScratchDirectory& directory) {
    PtySession::Options options;
    options.program = DVD_BINARY;
    options.rows = 49;
    options.columns = 80;
    options.workingDirectory = directory.path();
    return options;
}

bool showsAt(VtermScreen& screen, int row, int column, const std::string& text) {
    return screen.text(row, column, static_cast<int>(text.size())) == text;
}

// Every part of the main screen is there, the last one drawn included.
bool mainScreenComplete(VtermScreen& screen) {
    if (!showsAt(screen, 20, 30, "Wahl:") || !(screen.cursor() == VtermScreen::Position{20, 35})) return false;
    for (int column = 0; column < 80; ++column)
        if (screen.cell(5, column).codePoint != U'\u2500') return false;
    return showsAt(screen, 2, 8, "DVD Verwaltungs-System") && showsAt(screen, 12, 32, "DVD Verleih") &&
           screen.title() == "DVD Verwaltung";
}

struct CpuReading {
    double statMilliseconds = 0;   // utime + stime, in clock ticks
    double schedMilliseconds = 0;  // the scheduler's own count, in nanoseconds
};

CpuReading cpuOf(pid_t pid) {
    CpuReading reading;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::vector<std::string> values;
    for (std::string value; fields >> value;) values.push_back(value);
    if (values.size() > 12) {
        const double ticks = std::stod(values[11]) + std::stod(values[12]);
        reading.statMilliseconds = ticks * 1000.0 / static_cast<double>(::sysconf(_SC_CLK_TCK));
    }
    std::ifstream schedstat("/proc/" + std::to_string(pid) + "/schedstat");
    double nanoseconds = 0;
    if (schedstat >> nanoseconds) reading.schedMilliseconds = nanoseconds / 1e6;
    return reading;
}

void endWithEscape(PtySession& session) {
    session.send("\x1b");
    session.waitForExit();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

struct StartFigures {
    double medianMs = 0;
    double minMs = 0;
    double maxMs = 0;
    size_t firstScreenBytes = 0;
};

StartFigures measureStart(int runs) {
    std::vector<double> times;
    StartFigures figures;
    for (int run = 0; run < runs; ++run) {
        ScratchDirectory directory;
        const auto start = Clock::now();
        PtySession session(programIn(directory));
        if (!session.pumpUntil([&] { return mainScreenComplete(session.screen()); })) {
            std::fprintf(stderr, "run %d: no main screen\n", run);
            std::exit(1);
        }
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        session.pumpFor(milliseconds(100));  // anything written after the screen was complete
        figures.firstScreenBytes = session.output().size();
        endWithEscape(session);
    }
    figures.medianMs = median(times);
    figures.minMs = *std::min_element(times.begin(), times.end());
    figures.maxMs = *std::max_element(times.begin(), times.end());
    return figures;
}

CpuReading idleCpu(PtySession& session, milliseconds span) {
    const CpuReading before = cpuOf(session.programPid());
    session.pumpFor(span);
    const CpuReading after = cpuOf(session.programPid());
    return {after.statMilliseconds - before.statMilliseconds, after.schedMilliseconds - before.schedMilliseconds};
}

// The bytes the program writes in answer to the keys, once it has gone quiet.
std::string bytesFor(PtySession& session, const std::string& keys, const std::function<bool()>& shown) {
    session.pumpFor(milliseconds(100));
    const size_t before = session.output().size();
    session.send(keys);
    session.pumpUntil(shown);
    session.pumpFor(milliseconds(200));
    return session.output().substr(before);
}

std::string visible(const std::string& bytes) {
    std::string shown;
    for (unsigned char byte : bytes) shown += byte == 0x1b ? std::string("ESC") : std::string(1, static_cast<char>(byte));
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::atoi(argv[1]) : 20;
    const milliseconds idleSpan(argc > 2 ? std::atoi(argv[2]) * 1000 : 10000);

    const StartFigures start = measureStart(runs);

    ScratchDirectory directory;
    PtySession session(programIn(directory));
    VtermScreen& screen = session.screen();
    session.pumpUntil([&] { return mainScreenComplete(screen); });
    const CpuReading menuIdle = idleCpu(session, idleSpan);
    const std::string ignoredKeyBytes = bytesFor(session, "x", [] { return false; });
    const std::string redrawBytes = bytesFor(session, "@", [] { return false; });

    session.send("1");
    session.pumpUntil([&] { return showsAt(screen, 2, 32, "DVD - Bibliothek") && showsAt(screen, 25, 30, "Wahl:"); });
    session.send("1");
    const bool formThere = session.pumpUntil([&] { return showsAt(screen, 10, 20, "Film Art:"); }, milliseconds(2000));
    CpuReading fieldIdle{};
    std::string echoBytes;
    if (formThere) {
        session.pumpFor(milliseconds(100));
        fieldIdle = idleCpu(session, idleSpan);
        echoBytes = bytesFor(session, "K", [&] { return showsAt(screen, 10, 40, "K"); });
    }
    session.send("\x1b");
    session.pumpFor(milliseconds(200));
    session.send("\x1b");
    session.pumpFor(milliseconds(200));
    endWithEscape(session);

    const double seconds = static_cast<double>(idleSpan.count()) / 1000.0;
    std::printf("%-58s %s\n", "figure", "value");
    std::printf("%-58s %.1f ms (min %.1f, max %.1f, %d runs)\n", "start to first full main screen, median",
                start.medianMs, start.minMs, start.maxMs, runs);
    std::printf("%-58s %.0f ms by stat ticks, %.2f ms by schedstat\n",
                ("CPU over " + std::to_string(static_cast<int>(seconds)) + " s idle in the main menu").c_str(),
                menuIdle.statMilliseconds, menuIdle.schedMilliseconds);
    if (formThere)
        std::printf("%-58s %.0f ms by stat ticks, %.2f ms by schedstat\n",
                    ("CPU over " + std::to_string(static_cast<int>(seconds)) + " s idle in the first field").c_str(),
                    fieldIdle.statMilliseconds, fieldIdle.schedMilliseconds);
    else
        std::printf("%-58s %s\n", "CPU idle in the first field", "n/a (no new-DVD form)");
    std::printf("%-58s %zu bytes\n", "bytes written up to the first full main screen", start.firstScreenBytes);
    std::printf("%-58s %zu bytes\n", "bytes for a key the main menu ignores", ignoredKeyBytes.size());
    std::printf("%-58s %zu bytes\n", "bytes for '@' (main screen drawn again)", redrawBytes.size());
    if (formThere)
        std::printf("%-58s %zu bytes: %s\n", "bytes for one character echoed in a field", echoBytes.size(),
                    visible(echoBytes).c_str());
    return 0;
}
