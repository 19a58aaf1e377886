#include <gtest/gtest.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <set>
#include <fstream>
#include <sstream>

#include "app/DvdApplication.h"
#include "support/Scenario.h"
#include "support/ScreenSnapshot.h"
#include "support/ScriptedPlatform.h"

namespace scenario {
// The case's name in test output instead of its bytes.
void PrintTo(const Case& played, std::ostream* out) { *out << played.name; }
}  // namespace scenario

// Plays every case of tests/scenarios in-process (the format is described in
// tests/scenarios/README.md).
namespace {

namespace fs = std::filesystem;

constexpr int LINE_GAP_MS = 1000;
constexpr int AFTER_MESSAGE_GAP_MS = 10000;

bool writingExpectations() { return std::getenv("DVD_WRITE_SCENARIOS") != nullptr; }

void writeFile(const fs::path& path, const std::string& bytes) {
    if (path.has_parent_path()) fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// Control bytes and line ends made visible, so that a diff of files can be read.
std::string visible(const std::string& bytes) {
    std::string out;
    for (unsigned char byte : bytes) {
        if (byte == '\n') {
            out += "\\n\n    ";
        } else if (byte < 32 || byte >= 127) {
            static const char hex[] = "0123456789abcdef";
            out += byte == '\r' ? std::string("\\r") : std::string("\\x") + hex[byte >> 4] + hex[byte & 15];
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

// The lines that differ, with their numbers; empty when equal.
std::string lineDiff(const std::string& expected, const std::string& actual) {
    if (expected == actual) return {};
    std::istringstream expectedLines(expected), actualLines(actual);
    std::string diff, expectedLine, actualLine;
    for (int line = 1, shown = 0; shown < 12; ++line) {
        const bool moreExpected = static_cast<bool>(std::getline(expectedLines, expectedLine));
        const bool moreActual = static_cast<bool>(std::getline(actualLines, actualLine));
        if (!moreExpected && !moreActual) break;
        if (!moreExpected) expectedLine = "<none>";
        if (!moreActual) actualLine = "<none>";
        if (expectedLine == actualLine) continue;
        diff += "  line " + std::to_string(line) + "\n    expected: " + expectedLine + "\n    actual:   " + actualLine + "\n";
        ++shown;
    }
    return diff.empty() ? "  (differs in line ends)\n" : diff;
}

// Compares, or writes the expectation when it is missing and writing was asked for.
void expectText(const scenario::Case& played, const std::optional<std::string>& expected, const std::string& actual,
                const std::string& fileName) {
    if (!expected) {
        if (writingExpectations()) {
            writeFile(played.folder / fileName, actual);
            return;
        }
        ADD_FAILURE() << played.name << ": missing " << fileName << " (DVD_WRITE_SCENARIOS=1 writes it):\n" << actual;
        return;
    }
    const std::string diff = lineDiff(*expected, actual);
    EXPECT_TRUE(diff.empty()) << played.name << "/" << fileName << " differs:\n" << diff;
}

void expectFiles(const scenario::Case& played, const scenario::Files& actual) {
    if (!played.after && actual != played.before && writingExpectations()) {
        for (const auto& [name, bytes] : actual) {
            if (name.back() == '/') fs::create_directories(played.folder / "after" / name);
            else writeFile(played.folder / "after" / name, bytes);
        }
        return;
    }
    const scenario::Files& expected = played.after ? *played.after : played.before;
    std::set<std::string> names;
    for (const auto& entry : expected) names.insert(entry.first);
    for (const auto& entry : actual) names.insert(entry.first);
    for (const std::string& name : names) {
        const auto wanted = expected.find(name);
        const auto found = actual.find(name);
        const std::string wantedText = wanted == expected.end() ? "<no file>" : visible(wanted->second);
        const std::string foundText = found == actual.end() ? "<no file>" : visible(found->second);
        EXPECT_EQ(wantedText, foundText) << played.name << ": file " << name
                                         << (played.after ? " (after/)" : " (unchanged from before/)");
    }
}

// The keys of a case queued on the scripted keyboard; the directives that
// follow each burst run at the program's first stop after it took the burst.
class Player {
public:
    explicit Player(const scenario::Case& played) : played(played) {
        auto& state = scripted::state();
        std::size_t queued = 0;
        int gap = LINE_GAP_MS;
        groups.push_back({0, {}, false});
        for (const scenario::Step& step : played.steps) {
            if (step.kind == scenario::Step::Kind::Wait) {
                gap = AFTER_MESSAGE_GAP_MS;
                groups.push_back({queued, {}, true});
            } else if (step.kind == scenario::Step::Kind::Keys) {
                for (std::size_t i = 0; i < step.keys.size(); ++i)
                    state.keys.push_back({step.keys[i], 0, i == 0 ? gap : 0});
                if (queued == 0 && !step.keys.empty()) state.keys.front().availableAtMs = gap;
                queued += step.keys.size();
                gap = LINE_GAP_MS;
                groups.push_back({queued, {}, false});
            } else {
                groups.back().directives.push_back(step);
            }
        }
        groups.back().directives.push_back({scenario::Step::Kind::Screen, {}, "", 0});  // the final screen
        totalKeys = queued;
        state.onStop = [this](bool pausing) { atStop(pausing); };
    }

    std::map<std::string, std::string> screens;  // "" is the final screen

private:
    struct Group {
        std::size_t afterKeys;
        std::vector<scenario::Step> directives;
        bool afterMessage;  // runs at a wait for a key, not at the message's pause
    };

    void atStop(bool pausing) {
        const std::size_t taken = totalKeys - scripted::state().keys.size();
        while (next < groups.size() && groups[next].afterKeys <= taken && !(pausing && groups[next].afterMessage)) {
            for (const scenario::Step& step : groups[next].directives) {
                if (step.kind == scenario::Step::Kind::Screen) {
                    if (!screens.count(step.name)) screens[step.name] = snapshot::render(scripted::state().shown);
                } else if (step.kind == scenario::Step::Kind::Remove) {
                    fs::remove_all(step.name);
                } else {
                    const auto replacement = played.between.find(step.name);
                    if (replacement == played.between.end())
                        ADD_FAILURE() << played.name << "/keys:" << step.line << ": no between/" << step.name;
                    else
                        writeFile(step.name, replacement->second);
                }
            }
            ++next;
        }
    }

    const scenario::Case& played;
    std::vector<Group> groups;
    std::size_t next = 0;
    std::size_t totalKeys = 0;
};

class Scenario : public ::testing::TestWithParam<scenario::Case> {};

TEST_P(Scenario, Plays) {
    const scenario::Case& played = GetParam();
    ASSERT_TRUE(played.fault.empty()) << played.name << ": " << played.fault;
    const fs::path home = fs::current_path();
    std::string directoryName = "dvd-scenario-" + std::to_string(::getpid()) + "-" + played.name;
    for (char& character : directoryName) character = std::isalnum(static_cast<unsigned char>(character)) ? character : '-';
    const fs::path workingDirectory = fs::temp_directory_path() / directoryName;
    fs::remove_all(workingDirectory);
    fs::create_directories(workingDirectory);
    for (const auto& [name, bytes] : played.before) {
        if (name.back() == '/') fs::create_directories(workingDirectory / name);
        else writeFile(workingDirectory / name, bytes);
    }
    fs::current_path(workingDirectory);

    scripted::reset();
    auto& state = scripted::state();
    state.terminal = played.setup.terminal;
    state.size = {played.setup.columns, played.setup.rows};
    state.printSucceeds = !played.setup.printerRefuses;
    std::map<std::string, std::string> screens;
    std::string failure;
    {
        DvdApplication app;
        Player player(played);
        try {
            app.setTitle("DVD Verwaltung");
            app.setWindowSize(79, 48);
            app.runMainMenu();
        } catch (const std::exception& error) {
            failure = error.what();
        }
        screens = player.screens;
        state.onStop = nullptr;
    }
    const scenario::Files files = scenario::readFolder(workingDirectory);
    fs::current_path(home);
    fs::remove_all(workingDirectory);
    ASSERT_EQ(failure, "") << played.name;

    if (played.setup.terminal) expectText(played, played.screen, screens[""], "screen");
    else expectText(played, played.output, state.passedThrough, "output");
    for (const scenario::Step& step : played.steps) {
        if (step.kind != scenario::Step::Kind::Screen) continue;
        const auto expected = played.namedScreens.find(step.name);
        expectText(played, expected == played.namedScreens.end() ? std::nullopt : std::optional(expected->second),
                   screens[step.name], step.name + ".screen");
    }
    if (played.events) {
        std::string events;
        for (const std::string& event : state.events) events += event + "\n";
        expectText(played, played.events, events, "events");
    }
    expectFiles(played, files);
}

std::string caseName(const ::testing::TestParamInfo<scenario::Case>& info) {
    std::string name = info.param.name;
    for (char& character : name) character = std::isalnum(static_cast<unsigned char>(character)) ? character : '_';
    return name;
}

INSTANTIATE_TEST_SUITE_P(Cases, Scenario, ::testing::ValuesIn(scenario::loadAll(SCENARIO_DIR)), caseName);

}  // namespace
