#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "app/DvdApplication.h"
#include "support/Scenario.h"
#include "support/ScreenSnapshot.h"
#include "support/ScriptedPlatform.h"
#include "support/Tables.h"

// Plays every case of tests/scenarios in-process (the format is described in
// tests/scenarios/README.md).
namespace {

namespace fs = std::filesystem;
using scenario::Step;

constexpr int LINE_GAP_MS = 1000;
constexpr int AFTER_MESSAGE_GAP_MS = 10000;

bool writingExpectations() { return std::getenv("DVD_WRITE_SCENARIOS") != nullptr; }

void writeFiles(const fs::path& folder, const scenario::Files& files) {
    for (const auto& [name, bytes] : files) {
        fs::create_directories((folder / name).parent_path());
        if (name.back() != '/') std::ofstream(folder / name, std::ios::binary) << bytes;
    }
}

// Files as lines of text with their control bytes visible, for a line diff.
std::string listing(const scenario::Files& files) {
    std::string out;
    for (const auto& [name, bytes] : files) {
        out += "== " + name + "\n";
        for (std::size_t start = 0, end; start < bytes.size(); start = end) {
            end = std::min(bytes.find('\n', start), bytes.size() - 1) + 1;
            out += tables::escape(bytes.substr(start, end - start)) + "\n";
        }
    }
    return out;
}

// Compares, or writes the expectation when it is missing and writing was asked for.
void expectText(const scenario::Case& played, const std::optional<std::string>& expected, const std::string& actual,
                const std::string& fileName) {
    if (!expected && writingExpectations()) return writeFiles(played.folder, {{fileName, actual}});
    if (!expected) ADD_FAILURE() << played.name << ": missing " << fileName << " (DVD_WRITE_SCENARIOS=1 writes it):\n" << actual;
    else EXPECT_EQ(*expected, actual) << played.name << "/" << fileName;
}

// The keys of a case queued on the scripted keyboard; the directives after a
// burst run at the program's first stop once it took the burst.
// Key by key: each key comes only once the program took the one before and
// waited, as slow typing does; the case must end the same as typed in bursts.
class Player {
public:
    Player(const scenario::Case& played, bool keyByKey) : played(played) {
        auto& keys = scripted::state().keys;
        int gap = LINE_GAP_MS;
        groups.push_back({0, {}, false});
        for (const Step& step : played.steps) {
            if (step.kind == Step::Kind::Wait) {
                gap = AFTER_MESSAGE_GAP_MS;
                groups.push_back({keys.size(), {}, true});
            } else if (step.kind == Step::Kind::Keys) {
                // Each burst comes a gap after the program took the one before.
                for (std::size_t i = 0; i < step.keys.size(); ++i)
                    keys.push_back({step.keys[i], gap, i == 0 ? gap : keyByKey ? LINE_GAP_MS : 0});
                gap = LINE_GAP_MS;
                groups.push_back({keys.size(), {}, false});
            } else {
                groups.back().directives.push_back(step);
            }
        }
        groups.back().directives.push_back({Step::Kind::Screen, {}, "", 0});  // the final screen
        totalKeys = keys.size();
        scripted::state().onStop = [this](bool pausing) { atStop(pausing); };
    }
    ~Player() { scripted::state().onStop = nullptr; }

    std::map<std::string, std::string> screens;  // "" is the final screen

private:
    struct Group {
        std::size_t afterKeys;
        std::vector<Step> directives;
        bool afterMessage;  // runs at a wait for a key, not at the message's pause
    };

    void atStop(bool pausing) {
        const std::size_t taken = totalKeys - scripted::state().keys.size();
        for (; next < groups.size() && groups[next].afterKeys <= taken && !(pausing && groups[next].afterMessage); ++next) {
            for (const Step& step : groups[next].directives) {
                if (step.kind == Step::Kind::Screen) {
                    screens.emplace(step.name, snapshot::render(scripted::state().shown));
                } else if (step.kind == Step::Kind::Remove) {
                    fs::remove_all(step.name);
                } else if (played.between.count(step.name)) {
                    writeFiles(".", {{step.name, played.between.at(step.name)}});
                } else {
                    ADD_FAILURE() << played.name << "/keys:" << step.line << ": no between/" << step.name;
                }
            }
        }
    }

    const scenario::Case& played;
    std::vector<Group> groups;
    std::size_t next = 0;
    std::size_t totalKeys = 0;
};

// The parameter is the case's folder: a process reads only the case it plays.
class Scenario : public ::testing::TestWithParam<fs::path> {};

void play(const scenario::Case& played, bool keyByKey) {
    const fs::path home = fs::current_path();
    const fs::path workingDirectory = fs::temp_directory_path() / ("dvd-scenario-" + std::to_string(::getpid()));
    fs::remove_all(workingDirectory);
    fs::create_directories(workingDirectory);
    writeFiles(workingDirectory, played.before);
    fs::current_path(workingDirectory);

    scripted::reset();
    auto& state = scripted::state();
    state.terminal = played.setup.terminal;
    state.size = {played.setup.columns, played.setup.rows};
    state.printSucceeds = !played.setup.printerRefuses;
    if (!played.setup.date.empty())
        std::sscanf(played.setup.date.c_str(), "%d-%d-%d", &state.today.year, &state.today.month, &state.today.day);
    std::map<std::string, std::string> screens;
    std::string failure;
    {
        DvdApplication app;  // as main() runs it
        Player player(played, keyByKey);
        try {
            app.setTitle("DVD Verwaltung");
            app.setWindowSize(79, 48);
            app.runMainMenu();
        } catch (const std::exception& error) {
            failure = error.what();
        }
        screens = player.screens;
    }
    const scenario::Files files = scenario::readFolder(workingDirectory);
    fs::current_path(home);
    fs::remove_all(workingDirectory);
    ASSERT_EQ(failure, "") << played.name;

    if (played.setup.terminal) expectText(played, played.screen, screens[""], "screen");
    else expectText(played, played.output, state.passedThrough, "output");
    if (state.shownAtFirstPrint && played.setup.terminal)
        expectText(played, played.printScreen, snapshot::render(*state.shownAtFirstPrint), "print.screen");
    for (const Step& step : played.steps) {
        if (step.kind != Step::Kind::Screen) continue;
        const auto expected = played.namedScreens.find(step.name);
        expectText(played, expected == played.namedScreens.end() ? std::nullopt : std::optional(expected->second),
                   screens[step.name], step.name + ".screen");
    }
    if (played.events) {
        std::string events;
        for (const std::string& event : state.events) events += event + "\n";
        expectText(played, played.events, events, "events");
    }
    if (!played.after && files != played.before && writingExpectations()) return writeFiles(played.folder / "after", files);
    // A journal line expected of a case also played in a terminal writes the
    // date as {heute}: here the scripted calendar's, there the real one.
    scenario::Files expected = played.after.value_or(played.before);
    char today[16];
    std::snprintf(today, sizeof today, "%04d-%02d-%02d", state.today.year, state.today.month, state.today.day);
    for (auto& [name, bytes] : expected)
        for (std::size_t at; (at = bytes.find("{heute}")) != std::string::npos;) bytes.replace(at, 7, today);
    EXPECT_EQ(listing(expected), listing(files)) << played.name << (played.after ? ": after/" : ": before/ (no after/)");
}

TEST_P(Scenario, Plays) {
    const scenario::Case played = scenario::load(SCENARIO_DIR, GetParam());
    play(played, false);
    // Plain text output is written at every wait, so only a terminal's screen compares.
    if (!played.setup.terminal || ::testing::Test::HasFailure() || writingExpectations()) return;
    SCOPED_TRACE("typed key by key");
    play(played, true);
}

std::string caseName(const ::testing::TestParamInfo<fs::path>& info) {
    std::string name = fs::relative(info.param, SCENARIO_DIR).generic_string();
    for (char& character : name) character = std::isalnum(static_cast<unsigned char>(character)) ? character : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Scenario, ::testing::ValuesIn(scenario::caseFolders(SCENARIO_DIR)), caseName);

}  // namespace
