#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "DataFiles.h"
#include "Figures.h"
#include "Waits.h"

namespace bench {

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kFieldRow = 10;
constexpr int kFieldColumn = 40;
constexpr int kFieldLength = 20;  // "Film Art:"
// Between keys, so that each key meets a program that has gone back to waiting.
constexpr std::chrono::milliseconds kPauseBetweenKeys{3};

// Per key: the milliseconds from writing it to the read that completed its
// screen, and the CPU the program used for it (read outside the timed span).
struct KeySamples {
    std::vector<double> milliseconds;
    std::vector<double> programCpuMilliseconds;
};

void timeKey(Terminal& session, std::string_view key, const std::function<bool(Screen&)>& shown,
             const char* what, KeySamples& samples) {
    session.pumpFor(kPauseBetweenKeys);
    Screen& screen = session.screen();
    const CpuReading before = cpuOf(session.pid());
    const auto start = Clock::now();
    session.send(key);
    if (!session.waitFor([&] { return shown(screen); }))
        throw std::runtime_error(std::string("no screen after ") + what);
    samples.milliseconds.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    samples.programCpuMilliseconds.push_back((cpuOf(session.pid()) - before).schedMilliseconds);
}

bool fieldEmpty(Screen& screen) {
    return screen.showsAt(kFieldRow, kFieldColumn, std::string(kFieldLength, ' ')) &&
           cursorAt(screen, kFieldRow, kFieldColumn);
}

// Letters until the field is full, then Backspace, which empties it.
KeySamples fieldKeys(int count) {
    FullDataDirectory directory;
    Terminal session(programIn(directory));
    bringTo(session, Wait::InputField);
    KeySamples samples;
    int typed = 0;
    for (int key = 0; key < count; ++key) {
        if (typed == kFieldLength) {
            timeKey(session, "\x7f", fieldEmpty, "Backspace", samples);
            typed = 0;
            continue;
        }
        const char letter = static_cast<char>('a' + key % 26);
        const int column = kFieldColumn + typed;
        timeKey(
            session, std::string(1, letter),
            [&](Screen& screen) {
                return screen.cell(kFieldRow, column).codePoint == static_cast<char32_t>(letter) &&
                       cursorAt(screen, kFieldRow, column + 1);
            },
            "a letter", samples);
        ++typed;
    }
    return samples;
}

// The library list of 1999 records with all nine fields filtered with '/':
// digits narrow the rows, Backspace widens them again; each key redraws
// every row that matches.
KeySamples filterKeys(int count) {
    constexpr int kFilterRow = 8, kFilterColumn = 10, kCountColumn = 45;
    constexpr bool kAllFields = true;
    FullDataDirectory directory(kAllFields);
    Terminal session(programIn(directory));
    bringTo(session, Wait::LibraryList);
    session.send("/");
    if (!session.waitFor([&session] { return session.screen().showsAt(kFilterRow, 2, "Filter:"); }))
        throw std::runtime_error("no filter line");
    // Records with a field that holds the digits typed ("1", "12", ...).
    const auto matches = [](const std::string& typed) {
        int found = 0;
        for (int i = 0; i < bench_data::kFullRecordCount; ++i) {
            const std::vector<std::string> fields = bench_data::libraryRecordFields(i, kAllFields);
            found += std::any_of(fields.begin(), fields.end(),
                                 [&typed](const std::string& field) { return field.find(typed) != std::string::npos; });
        }
        return found;
    };
    KeySamples samples;
    std::string typed;
    for (int key = 0; key < count; ++key) {
        std::string sent;
        if (typed.size() == 3) {
            sent = "\x7f\x7f\x7f";  // the filter empty again: every row back
            typed.clear();
        } else {
            sent = std::string(1, static_cast<char>('1' + key % 3));
            typed += sent;
        }
        const std::string shownCount = std::to_string(typed.empty() ? 1999 : matches(typed)) + " von 1999";
        timeKey(
            session, sent,
            [&](Screen& screen) {
                return screen.showsAt(kFilterRow, kCountColumn, shownCount) &&
                       cursorAt(screen, kFilterRow, kFilterColumn + static_cast<int>(typed.size()));
            },
            "a filter key", samples);
    }
    return samples;
}

struct MenuTimes {
    KeySamples open;   // '1': main menu to library menu
    KeySamples leave;  // Escape: library menu to main menu
};

MenuTimes menuKeys(int roundTrips) {
    FullDataDirectory directory;
    Terminal session(programIn(directory));
    bringTo(session, Wait::MainMenu);
    MenuTimes times;
    for (int trip = 0; trip < roundTrips; ++trip) {
        timeKey(
            session, "1", [](Screen& screen) { return subMenuShown(screen, kLibraryMenuHeading); }, "'1'",
            times.open);
        timeKey(session, "\x1b", mainScreenComplete, "Escape", times.leave);
    }
    return times;
}

std::string spread(const KeySamples& samples) {
    const std::vector<double>& times = samples.milliseconds;
    return formatted("p50 %.2f ms, p99 %.2f ms (max %.2f; %zu keys)", percentile(times, 50), percentile(times, 99),
                     maximum(times), times.size());
}

std::string programCpu(const KeySamples& samples, const char* note) {
    const std::vector<double>& cpu = samples.programCpuMilliseconds;
    return formatted("the program's own CPU per key: p50 %.3f ms, p99 %.3f ms%s", percentile(cpu, 50),
                     percentile(cpu, 99), note);
}

}  // namespace

std::vector<Row> measureKeyLatency(const Settings& settings) {
    const KeySamples field = fieldKeys(settings.fieldKeys);
    const MenuTimes menus = menuKeys(settings.menuRoundTrips);
    const KeySamples filter = filterKeys(settings.fieldKeys / 2);
    std::vector<Row> rows = {
        {2, "Key to screen in a field (letters echoed, Backspace empties)", spread(field), ""},
        {2, "Key to screen between menus: `1`, main menu to library menu", spread(menus.open), ""},
        {2, "Key to screen between menus: Escape, library menu to main menu", spread(menus.leave), ""},
        {2, "Key to screen in the filter of the 1999-record library list, all nine fields filled (each key redraws the matching rows)",
         spread(filter), ""},
    };
    // The p50 is the program's; the tail is the machine's (docs/benchmarks.md).
    judge(rows[0], percentile(field.milliseconds, 50), 20, "ms (p50)", programCpu(field, ""));
    judge(rows[1], percentile(menus.open.milliseconds, 50), 30, "ms (p50)", programCpu(menus.open, ""));
    judge(rows[2], percentile(menus.leave.milliseconds, 50), 250, "ms (p50)",
          programCpu(menus.leave, "; includes the 100 ms (ESCDELAY) that tell a lone Escape from a key's sequence"));
    judge(rows[3], percentile(filter.milliseconds, 50), 50, "ms (p50)", programCpu(filter, ""));
    return rows;
}

}  // namespace bench
