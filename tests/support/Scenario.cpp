#include "support/Scenario.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>

#include "console/Keys.h"
#include "support/Recipe.h"

namespace scenario {

namespace fs = std::filesystem;

std::optional<std::string> readFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream bytes;  // in blocks: a case's files may be tens of MiB
    bytes << file.rdbuf();
    return std::move(bytes).str();
}

Files readFolder(const fs::path& folder) {
    Files files;
    std::error_code error;
    if (!fs::is_directory(folder, error)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).generic_string();
        if (entry.is_directory()) files[name + "/"] = "";
        else files[name] = readFile(entry.path()).value_or("<unreadable>");
    }
    return files;
}

Files readFixtures(const fs::path& folder) {
    Files files = readFolder(folder);
    for (auto entry = files.begin(); entry != files.end();) {
        if (!entry->first.ends_with(".recipe")) {
            ++entry;
            continue;
        }
        const std::string made = entry->first.substr(0, entry->first.size() - 7);
        files[made] = recipe::make(entry->second, (folder / entry->first).generic_string());
        entry = files.erase(entry);
    }
    return files;
}

namespace {

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        result.push_back(line);
    }
    return result;
}

std::vector<Step> parseKeys(const std::string& text, const std::string& where) {
    static const std::map<std::string, Step::Kind> directives{
        {"@wait", Step::Kind::Wait}, {"@screen", Step::Kind::Screen}, {"@write", Step::Kind::Write}, {"@remove", Step::Kind::Remove}};
    std::vector<Step> steps;
    int number = 0;
    for (const std::string& line : lines(text)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        const auto space = line.find(' ');
        const auto directive = directives.find(line.substr(0, space));
        const std::string argument = space == std::string::npos ? "" : line.substr(space + 1);
        // A directive takes a name, except @wait; any other line is keys.
        if (directive != directives.end() && argument.empty() == (directive->second == Step::Kind::Wait)) {
            steps.push_back({directive->second, {}, argument, number});
            continue;
        }
        try {
            steps.push_back({Step::Kind::Keys, keys::parseNotation(line), {}, number});
        } catch (const std::exception& error) {
            throw std::runtime_error(where + ":" + std::to_string(number) + ": " + error.what());
        }
    }
    return steps;
}

Setup parseSetup(const std::string& text, const std::string& where) {
    Setup setup;
    for (const std::string& line : lines(text)) {
        if (line.empty() || line[0] == '#') continue;
        if (line == "not-a-terminal") {
            setup.terminal = false;
        } else if (line == "printer-refuses") {
            setup.printerRefuses = true;
        } else if (line.starts_with("date ")) {
            setup.date = line.substr(5);
        } else if (std::sscanf(line.c_str(), "size %dx%d", &setup.columns, &setup.rows) != 2) {
            throw std::runtime_error(where + ": unknown setting: " + line);
        }
    }
    return setup;
}

}  // namespace

Case load(const fs::path& root, const fs::path& folder) {
    Case loaded;
    loaded.folder = folder;
    loaded.name = fs::relative(folder, root).generic_string();
    const auto keysText = readFile(folder / "keys");
    if (!keysText) throw std::runtime_error(loaded.name + ": no keys file");
    loaded.steps = parseKeys(*keysText, loaded.name + "/keys");
    loaded.before = readFixtures(folder / "before");
    if (fs::is_directory(folder / "after")) loaded.after = readFixtures(folder / "after");
    loaded.between = readFixtures(folder / "between");
    loaded.screen = readFile(folder / "screen");
    loaded.output = readFile(folder / "output");
    loaded.events = readFile(folder / "events");
    loaded.printScreen = readFile(folder / "print.screen");
    for (const Step& step : loaded.steps)
        if (auto text = readFile(folder / (step.name + ".screen")); text && step.kind == Step::Kind::Screen)
            loaded.namedScreens[step.name] = *text;
    if (const auto setupText = readFile(folder / "setup")) loaded.setup = parseSetup(*setupText, loaded.name + "/setup");
    return loaded;
}

std::vector<fs::path> caseFolders(const fs::path& root) {
    std::vector<fs::path> folders;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file() && entry.path().filename() == "keys") folders.push_back(entry.path().parent_path());
    std::sort(folders.begin(), folders.end());
    return folders;
}

}  // namespace scenario
