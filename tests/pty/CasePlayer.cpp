// Plays a case against the real program in a pseudo-terminal: a scenario
// (tests/scenarios, a "keys" file) or a terminal case (a "steps" file,
// tests/robustness/README.md). Exit status 0 when every check held.
// Or plays a table of command lines (tests/cases/command-line.txt), every
// row or the one named.
//   pty_cases <program> <case-folder | table [row]>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <regex>
#include <sstream>
#include <thread>

#include "Terminal.h"
#include "console/Keys.h"
#include "support/Scenario.h"
#include "support/Tables.h"

namespace fs = std::filesystem;
using Milliseconds = std::chrono::milliseconds;

namespace {

struct Failure {
    std::string what;
};
struct Skipped {  // ctest's SKIP_RETURN_CODE
    std::string why;
};

void check(bool holds, const std::string& what) {
    if (!holds) throw Failure{what};
}

int signalNamed(const std::string& name) {
    for (int number = 1; number < 32; ++number)
        if (name == std::string("SIG") + (::sigabbrev_np(number) ? ::sigabbrev_np(number) : "")) return number;
    throw Failure{"unknown signal " + name};
}

// The first control byte that is not part of the program's own cursor, colour,
// mode and title sequences, or a C1 control in UTF-8.
std::string firstForeignByte(const std::string& bytes) {
    static const std::regex own("\x1b\\[[0-9;?]*[HCDmtrhl]|\x1b\\]2;DVD Verwaltung\x07|[\r\n]+$");
    const std::string rest = std::regex_replace(bytes, own, "");
    for (size_t i = 0; i < rest.size(); ++i) {
        const auto byte = static_cast<unsigned char>(rest[i]);
        if (byte < 0x20 || byte == 0x7f || (byte == 0xC2 && i + 1 < rest.size() && static_cast<unsigned char>(rest[i + 1]) < 0xA0))
            return "byte " + std::to_string(byte) + " before " + rest.substr(i + 1, 20);
    }
    return {};
}

// Bytes no key notation gives (another character set than UTF-8) written as \xHH.
std::string withRawBytes(std::string text) {
    for (size_t at = 0; (at = text.find("\\x", at)) != std::string::npos && at + 3 < text.size(); ++at)
        text.replace(at, 4, 1, static_cast<char>(std::stoi(text.substr(at + 2, 2), nullptr, 16)));
    return text;
}

// The environment of a program run in that locale; where it is not generated, the case is skipped.
std::vector<std::string> inLocale(const std::string& name) {
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, name.c_str(), static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) throw Skipped{"the locale " + name + " is not generated"};
    ::freelocale(locale);
    return {"LANG=" + name, "-LC_ALL", "-LC_CTYPE"};
}

// Writes the files ("NAME/" a folder) into the working directory.
void place(const scenario::Files& files, const fs::path& work) {
    for (const auto& [name, bytes] : files) {
        fs::create_directories((work / name).parent_path());
        if (name.ends_with('/')) fs::create_directories(work / name);
        else writeFile((work / name).string(), bytes);
    }
}

class Player {
public:
    Player(const std::string& program, fs::path folder) : program_(fs::absolute(program)), folder_(std::move(folder)) {
        ::setenv("DVD_PROGRAM", program_.c_str(), 1);  // for "sh" steps that start it themselves
        ::setenv("DVD_FAKE_LP", FAKE_LP, 1);  // for "sh" steps that put the stand-in lp on PATH
        // "sh" steps scale their own bounds by it: always set, 1 unless the build says otherwise.
        ::setenv("DVD_TEST_TIME_SCALE", std::to_string(testtime::scale()).c_str(), 1);
    }
    ~Player() {
        terminal_.reset();
        fs::remove_all(work_);
    }

    void playScenario();
    int playSteps();
    int playTable(const std::string& only);

private:
    void start() {
        terminal_.reset();
        terminal_ = std::make_unique<Terminal>(options_);
    }
    Terminal& running() {
        if (!terminal_) start();
        return *terminal_;
    }
    // Until the program has answered: asleep, its output at rest for a moment.
    void settle(Milliseconds rest = Milliseconds(50)) {
        const auto deadline = std::chrono::steady_clock::now() + Terminal::patience();
        for (size_t seen = ~size_t{0}; seen != running().output().size() || !terminal_->asleep();) {
            check(std::chrono::steady_clock::now() < deadline, "the program does not come to rest");
            seen = running().output().size();
            running().pumpFor(rest);
            if (running().waitForExit(Milliseconds(0))) return;
        }
    }
    void await(const std::function<bool(Screen&)>& shown, const std::string& what) {
        check(running().waitFor([&] { return shown(terminal_->screen()); }), "not shown: " + what);
        settle(Milliseconds(30));
    }
    // A lone Escape stays alone: the key after it waits out the Escape delay.
    void type(const std::vector<int>& codes) {
        for (auto from = codes.begin(); from != codes.end();) {
            auto escape = std::find(from, codes.end(), keys::ESCAPE);
            running().send(withRawBytes(terminalBytes({from, escape == codes.end() ? escape : escape + 1})));
            if (escape != codes.end()) running().pumpFor(testtime::scaled(Milliseconds(150)));
            from = escape == codes.end() ? escape : escape + 1;
        }
    }
    // Until a file of the working directory has grown by `bytes` (at least
    // one) over its size in before/, a new one from nothing, or the program
    // has ended. Looked at without pause, so that a signal sent next lands at
    // that point of the write.
    void awaitGrowth(std::uintmax_t bytes) {
        const auto deadline = std::chrono::steady_clock::now() + Terminal::patience();
        while (!running().waitForExit(Milliseconds(0))) {
            std::error_code error;
            for (const auto& entry : fs::directory_iterator(work_, error)) {
                const auto known = before_.find(entry.path().filename().string());
                const std::uintmax_t was = known == before_.end() ? 0 : known->second.size();
                const std::uintmax_t size = entry.is_regular_file(error) ? entry.file_size(error) : 0;
                if (!error && size >= was + bytes) return;
            }
            check(std::chrono::steady_clock::now() < deadline, "no file grew by " + std::to_string(bytes) + " bytes");
        }
    }
    void fresh(const scenario::Files& before) {
        fs::remove_all(work_);
        fs::create_directories(work_);
        place(before, work_);
        options_ = {{program_}, work_.string(), 49, 80, {"ESCDELAY=25", "LANG=C.UTF-8"}};
    }
    // The files are these (or, oldOrNew, each as in `before`), waited for a
    // moment, since the program writes them after the key.
    void expectFiles(const scenario::Files& after, const scenario::Files& before, bool oldOrNew = false);
    std::string screenText();
    bool sameScreen(const std::string& expected);
    void step(const std::string& word, const std::string& argument);
    void expectExit(const std::string& expected);
    void expectTerminalGivenBack();
    void playRow(const tables::CommandLineRow& row);

    std::string program_;
    fs::path folder_;
    fs::path work_ = fs::temp_directory_path() / ("dvd-case-" + std::to_string(::getpid()));
    Terminal::Options options_;
    std::unique_ptr<Terminal> terminal_;
    std::mt19937_64 random_;
    scenario::Files before_, after_;
    bool filesChecked_ = false, strays_ = false, keptOld_ = false, strayLeft_ = false;
    int lastSignal_ = 0;
};

// The screen in the scenario format: per row its text and colours, then the cursor.
std::string Player::screenText() {
    static const int kConsoleOfPalette[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};
    Screen& screen = running().screen();
    std::string out;
    for (int row = 0; row < screen.rows(); ++row) {
        std::string text = screen.rowText(row), colours;
        for (int column = 0; column < screen.columns(); ++column) {
            const Screen::Cell cell = screen.cell(row, column);
            const int foreground = cell.foreground < 0 ? 7 : kConsoleOfPalette[cell.foreground & 15];
            colours += cell.background > 0 ? '#' : cell.codePoint == U' ' ? '.' : "0123456789abcdef"[foreground];
        }
        text.erase(text.find_last_not_of(' ') + 1);
        colours.erase(colours.find_last_not_of('.') + 1);
        out += std::to_string(row) + "|" + text + "\n" + (colours.empty() ? "" : std::to_string(row) + "~" + colours + "\n");
    }
    return out + "cursor|" + std::to_string(screen.cursor().row) + "," + std::to_string(screen.cursor().column) + "\n";
}

// A cursor the terminal cannot show (below a list) is left where it is seen.
bool Player::sameScreen(const std::string& expected) {
    const std::string shown = screenText();
    const size_t cursor = expected.rfind("cursor|");
    int row = 0, column = 0;
    if (cursor == std::string::npos || std::sscanf(expected.c_str() + cursor, "cursor|%d,%d", &row, &column) != 2) return false;
    const bool visible = row < running().screen().rows() && column < running().screen().columns();
    return visible ? shown == expected : shown.substr(0, shown.rfind("cursor|")) == expected.substr(0, cursor);
}

void Player::playScenario() {
    const scenario::Case played = scenario::load(folder_.parent_path(), folder_);
    check(!played.setup.printerRefuses, "a printer that refuses is not set up in a terminal");
    check(played.setup.date.empty(), "the calendar is not set in a terminal");
    fresh(played.before);
    options_.rows = played.setup.rows;
    options_.columns = played.setup.columns;
    options_.piped = !played.setup.terminal;
    settle();
    for (const scenario::Step& step : played.steps) {
        const std::string where = "keys line " + std::to_string(step.line) + ": ";
        using Kind = scenario::Step::Kind;
        if (step.kind == Kind::Keys) type(step.keys), settle();
        // The program shows a message for its own 2.5 s, not a bound to scale;
        // settle() then waits for it to ask again.
        if (step.kind == Kind::Wait) running().pumpFor(Milliseconds(2600)), settle();
        if (step.kind == Kind::Write) writeFile((work_ / step.name).string(), played.between.at(step.name));
        if (step.kind == Kind::Remove) fs::remove_all(work_ / step.name);
        if (step.kind == Kind::Screen)
            check(sameScreen(played.namedScreens.at(step.name)), where + "not " + step.name + ".screen:\n" + screenText());
    }
    if (played.setup.terminal) check(played.screen && sameScreen(*played.screen), "not the expected screen:\n" + screenText());
    for (int escapes = 0; escapes < 10 && !running().waitForExit(Milliseconds(0)); ++escapes)
        type({keys::ESCAPE}), settle();
    expectExit("0");
    if (!played.setup.terminal) check(played.output && running().output() == *played.output, "not the expected output");
    expectFiles(played.after.value_or(played.before), played.before);
}

int Player::playSteps() {
    std::vector<std::pair<std::string, std::string>> steps;
    std::ifstream file(folder_ / "steps");
    fs::path data = folder_;
    int repeat = 1;
    for (std::string line; std::getline(file, line);) {
        const size_t start = line.find_first_not_of(' '), space = line.find(' ', start);
        if (start == std::string::npos || line[start] == '#') continue;
        steps.emplace_back(line.substr(start, space - start), space == std::string::npos ? "" : line.substr(space + 1));
        if (steps.back().first == "repeat") repeat = std::stoi(steps.back().second);
        if (steps.back().first == "from") data = folder_ / steps.back().second;
    }
    check(!steps.empty(), "no steps");
    if (const char* override = std::getenv("DVD_CASE_REPEAT"); override && repeat > 1) repeat = std::atoi(override);
    const char* seedText = std::getenv("DVD_CASE_SEED");
    const unsigned long long seed = seedText ? std::strtoull(seedText, nullptr, 10) : 1;
    before_ = scenario::readFixtures(data / "before");
    after_ = fs::exists(data / "after") ? scenario::readFixtures(data / "after") : before_;
    int keptOld = 0, strayRuns = 0;
    for (int run = 0; run < repeat; ++run) {
        random_.seed(seed + static_cast<unsigned long long>(run));
        fresh(before_);
        filesChecked_ = strays_ = keptOld_ = false;
        try {
            for (const auto& [word, argument] : steps) step(word, argument);
            if (!filesChecked_) expectFiles(after_, before_);
        } catch (const Failure& failure) {
            throw Failure{failure.what + "\n  (run " + std::to_string(run) + ", DVD_CASE_SEED=" +
                          std::to_string(seed + static_cast<unsigned long long>(run)) + ")" +
                          (terminal_ ? terminal_->screen().dump() : "")};
        }
        keptOld += keptOld_;
        strayRuns += strayLeft_;
        terminal_.reset();
    }
    if (repeat > 1)
        std::printf("%s: %d runs, files old %d, new %d, runs leaving other files %d\n", folder_.c_str(), repeat, keptOld,
                    repeat - keptOld, strayRuns);
    return 0;
}

Milliseconds randomMoment(std::istream& words, std::mt19937_64& random) {
    std::string within;
    int milliseconds = 0;
    words >> within >> milliseconds;
    // A slow build saves slowly: the moment stays as far into the save.
    milliseconds *= testtime::scale();
    return Milliseconds(within == "within" ? std::uniform_int_distribution<int>(0, milliseconds)(random) : milliseconds);
}

void Player::step(const std::string& word, const std::string& argument) {
    std::istringstream words(argument);
    int rows = 0, columns = 0;
    if (word == "size") {
        words >> options_.rows >> options_.columns;
    } else if (word == "env") {
        std::string entry = argument;  // $WORK: the working directory, say for a PATH entry
        if (const size_t at = entry.find("$WORK"); at != std::string::npos) entry.replace(at, 5, work_.string());
        options_.environment.push_back(entry);
    } else if (word == "locale") {
        for (const std::string& entry : inLocale(argument)) options_.environment.push_back(entry);
    } else if (word == "disk-limit") {
        options_.fileSizeLimit = std::stoll(argument);
    } else if (word == "job-control" || word == "pipe") {
        (word == "pipe" ? options_.piped : options_.jobControl) = true;
    } else if (word == "allow-strays") {
        strays_ = true;
    } else if (word == "args") {
        for (std::string each; words >> each;) options_.command.push_back(each);
    } else if (word == "start") {
        start();
    } else if (word == "keys") {
        type(keys::parseNotation(argument));
    } else if (word == "send") {
        running().send(tables::unescape(argument));
    } else if (word == "wait") {
        await([&](Screen& screen) { return screen.shows(argument); }, argument);
    } else if (word == "wait-at") {
        std::string text;
        words >> rows >> columns;
        std::getline(words >> std::ws, text);
        await([&](Screen& screen) { return screen.showsAt(rows, columns, text); }, argument);
    } else if (word == "pause") {
        running().pumpFor(testtime::scaled(Milliseconds(std::stoi(argument))));
    } else if (word == "signal" || word == "hangup") {
        std::string names = word;
        if (word == "signal") words >> names;
        std::vector<std::string> choices;
        std::istringstream list(names);
        for (std::string name; std::getline(list, name, ',');) choices.push_back(name);
        const std::string chosen = choices[std::uniform_int_distribution<size_t>(0, choices.size() - 1)(random_)];
        const int number = chosen == "hangup" ? 0 : signalNamed(chosen);
        if (argument.ends_with(" while-writing")) {
            // At a random point of writing the largest file of after/.
            std::uintmax_t largest = 0;
            for (const auto& [name, bytes] : after_) largest = std::max<std::uintmax_t>(largest, bytes.size());
            awaitGrowth(std::uniform_int_distribution<std::uintmax_t>(1, std::max<std::uintmax_t>(largest, 1))(random_));
        } else {
            std::this_thread::sleep_for(randomMoment(words, random_));
        }
        if (number == 0) running().hangUp();
        else running().signal(lastSignal_ = number);
    } else if (word == "resize") {
        words >> rows >> columns;
        running().resize(rows, columns);
    } else if (word == "sh") {
        // Another program acting on the working directory meanwhile.
        check(std::system(("cd '" + work_.string() + "' && " + argument).c_str()) == 0, "failed: " + argument);
    } else if (word == "scribble") {
        // As if the terminal had lost its contents: what is not repainted keeps showing '#'.
        Screen& screen = running().screen();
        for (int row = 0; row < screen.rows(); ++row)
            screen.feed("\x1b[0m\x1b[" + std::to_string(row + 1) + "H" + std::string(size_t(screen.columns()), '#'));
    } else if (word == "repainted") {
        await([&](Screen& screen) { return screen.shows(argument) && !screen.shows("#"); }, "a full repaint");
    } else if (word == "exit") {
        expectExit(argument);
    } else if (word == "restored") {
        expectTerminalGivenBack();
    } else if (word == "stopped") {
        Terminal& terminal = running();
        check(terminal.waitForStop(), "the program did not stop");
        check(terminal.waitFor([&] {
            return terminal.screen().privateModeSet(7) && terminal.screen().cursorVisible() && !terminal.screen().altScreen();
        }), "stopped with autowrap off, the cursor hidden or the shell's screen away");
        check(terminal.modes().c_lflag == terminal.originalModes().c_lflag, "stopped without echo and line editing");
    } else if (word == "resume") {
        running().resume();
    } else if (word == "raw-keys") {
        check(running().waitFor([&] { return (terminal_->modes().c_lflag & (ECHO | ICANON)) == 0; }), "keys not raw");
    } else if (word == "autowrap") {
        check(running().screen().privateModeSet(7) == (argument == "on"), "autowrap is not " + argument);
    } else if (word == "title") {
        check(running().screen().title() == argument, "title \"" + running().screen().title() + "\"");
    } else if (word == "clean-output") {
        const std::string foreign = firstForeignByte(running().output());
        check(foreign.empty(), "foreign control in the output: " + foreign);
    } else if (word == "output-has" || word == "output-lacks") {
        const std::string bytes = withRawBytes(terminalBytes(keys::parseNotation(argument)));
        const bool has = running().waitFor([&] { return terminal_->output().find(bytes) != std::string::npos; },
                                           word == "output-has" ? Terminal::patience() : Milliseconds(0));
        check(has == (word == "output-has"), word + " " + argument);
    } else if (word == "files" || word == "files-old-or-new") {
        expectFiles(after_, before_, word == "files-old-or-new");
    } else {
        check(word == "repeat" || word == "from", "unknown step: " + word);
    }
}

void Player::expectExit(const std::string& expected) {
    const std::optional<int> status = running().waitForExit();
    check(status.has_value(), "the program did not end");
    const bool right = expected == "any" ||
                       (expected.starts_with("SIG") || expected == "sent"
                            ? WIFSIGNALED(*status) && WTERMSIG(*status) == (expected == "sent" ? lastSignal_ : signalNamed(expected))
                            : WIFEXITED(*status) && WEXITSTATUS(*status) == std::stoi(expected));
    check(right, "expected the end " + expected + ", got " + describeStatus(*status));
}

// Modes, colours, cursor and line discipline as before the start, the cursor on a fresh line.
void Player::expectTerminalGivenBack() {
    Screen& screen = running().screen();
    check(screen.privateModeSet(7) && screen.cursorVisible() && !screen.altScreen(),
          "autowrap left off, the cursor hidden or the shell's screen away");
    check(screen.cursor().column == 0, "the shell's prompt would not start on a fresh line");
    screen.feed("x");
    const Screen::Cell written = screen.cell(screen.cursor().row, screen.cursor().column - 1);
    check(written.foreground == Screen::kDefaultColour && written.background == Screen::kDefaultColour && !written.styled,
          "colours not reset");
    const termios now = terminal_->modes(), before = terminal_->originalModes();
    check(now.c_lflag == before.c_lflag && now.c_iflag == before.c_iflag && now.c_oflag == before.c_oflag &&
              now.c_cc[VMIN] == before.c_cc[VMIN] && now.c_cc[VTIME] == before.c_cc[VTIME],
          "line discipline not given back");
}

constexpr const char* JOURNAL_FILE = "DVDVerleihJournal.csv";

// The real program dates its journal lines by the real calendar: an
// expected file writes that date as {heute}, a table's input N days before
// as {heute-N}.
std::string withTodaysDate(std::string bytes) {
    for (std::size_t at; (at = bytes.find("{heute")) != std::string::npos;) {
        const std::size_t end = bytes.find('}', at);
        check(end != std::string::npos, "no } after {heute");
        std::time_t now = std::time(nullptr);
        std::tm day = *std::localtime(&now);
        day.tm_mday -= end > at + 6 ? std::stoi(bytes.substr(at + 7, end - at - 7)) : 0;
        day.tm_hour = 12;  // mktime counts the days back, whatever the clock changes
        now = std::mktime(&day);
        char text[16];
        std::strftime(text, sizeof text, "%Y-%m-%d", std::localtime(&now));
        bytes.replace(at, end + 1 - at, text);
    }
    return bytes;
}

void Player::expectFiles(const scenario::Files& after, const scenario::Files& before, bool oldOrNew) {
    filesChecked_ = true;
    std::string problem;
    const auto matches = [&] {
        problem.clear();
        scenario::Files now = scenario::readFolder(work_);
        // Folders: their files count; a .keep only keeps a folder in git.
        std::erase_if(now, [](const auto& entry) { return entry.first.ends_with('/') || entry.first.ends_with(".keep"); });
        keptOld_ = true;
        for (const auto& [name, expectedBytes] : after) {
            if (name.ends_with('/') || name.ends_with(".keep")) continue;
            const std::string bytes = withTodaysDate(expectedBytes);
            const auto found = now.find(name);
            const auto original = before.find(name);
            const bool kept = original == before.end() ? found == now.end() : found != now.end() && found->second == original->second;
            if (!(found != now.end() && found->second == bytes) && !(oldOrNew && kept))
                problem += " " + name + (found == now.end() ? " missing" : " differs");
            keptOld_ = keptOld_ && kept;
            if (found != now.end()) now.erase(found);
        }
        // Interrupted after the rewrite, a return may or may not have reached the journal.
        if (oldOrNew && !after.contains(JOURNAL_FILE)) now.erase(JOURNAL_FILE);
        if (!now.empty() && !strays_) problem += " " + now.begin()->first + " left over";
        strayLeft_ = !now.empty();
        return problem.empty();
    };
    // Apart, so that the message holds the problem of the last look.
    const bool matched = terminal_ ? terminal_->waitFor(matches, testtime::scaled(Milliseconds(2000))) : matches();
    check(matched, "files:" + problem);
}

// The row's run field: "terminal" or "pipe" and the settings after it (the
// table's header explains them).
struct RunSettings {
    bool piped = false;
    std::map<int, std::string> streams;
    bool readerGone = false;
    std::string lockedFile;
    long long diskLimit = -1;
    std::string locale;
    std::vector<std::string> folders;
};

RunSettings readSettings(const std::string& run) {
    RunSettings settings;
    const std::vector<std::string> list = tables::words(run);
    check(!list.empty() && (list[0] == "terminal" || list[0] == "pipe"), "run is neither terminal nor pipe");
    settings.piped = list[0] == "pipe";
    static const std::map<std::string, int> streamNumbers{{"stdin", 0}, {"stdout", 1}, {"stderr", 2}};
    for (auto word = list.begin() + 1; word != list.end(); ++word) {
        const size_t equals = word->find('=');
        const std::string key = word->substr(0, equals), value = equals == std::string::npos ? "" : word->substr(equals + 1);
        if (key == "lock") settings.lockedFile = value;
        else if (key == "files") settings.folders.push_back(value);
        else if (key == "locale") settings.locale = value;
        else if (key == "disk-limit") settings.diskLimit = std::stoll(value);
        else if (*word == "stdout=reader-gone") settings.readerGone = true;
        else if (streamNumbers.contains(key) && (value == "closed" || (value == "full" && key == "stdout")))
            settings.streams[streamNumbers.at(key)] = value == "full" ? "/dev/full" : value;
        else check(false, "unknown setting " + *word);
    }
    return settings;
}

// The files every row starts with, those its settings add, dates filled in.
scenario::Files rowFiles(const fs::path& data, const RunSettings& settings) {
    scenario::Files files{{"daten/", ""}, {"daten/DVDBibliothek.csv", "Krimi,Der Pate,The Godfather,175,\r\n"}};
    for (const auto& [name, bytes] : scenario::readFolder(data / "eingabe")) files["eingabe/" + name] = bytes;
    if (fs::is_directory(data / "eingabe")) files["eingabe/"] = "";
    for (const std::string& folder : settings.folders) {
        check(fs::is_directory(data / folder), "no folder " + folder);
        for (const auto& [name, bytes] : scenario::readFixtures(data / folder)) files[folder + "/" + name] = bytes;
    }
    for (auto& [name, bytes] : files)
        if (bytes.find("{heute") != std::string::npos) bytes = withTodaysDate(std::move(bytes));
    return files;
}

// One run of the program, one row of a table of command lines.
void Player::playRow(const tables::CommandLineRow& row) {
    const fs::path data = fs::path(folder_).replace_extension();
    const RunSettings settings = readSettings(row.run);
    const scenario::Files before = rowFiles(data, settings);
    fresh(before);
    for (const std::string& word : tables::words(row.arguments)) options_.command.push_back(word);
    options_.environment.push_back("TERM=xterm");
    for (const std::string& entry : tables::words(row.environment)) options_.environment.push_back(entry);
    if (!settings.locale.empty())
        for (const std::string& entry : inLocale(settings.locale)) options_.environment.push_back(entry);
    options_.piped = settings.piped;
    options_.streams = settings.streams;
    options_.fileSizeLimit = settings.diskLimit;
    const std::string errors = work_.string() + ".stderr";
    options_.errorFile = errors;
    // Another program holds the lock for the whole run.
    const int holder = settings.lockedFile.empty() ? -1 : ::open((work_ / settings.lockedFile).c_str(), O_RDONLY | O_CLOEXEC);
    check(settings.lockedFile.empty() || (holder >= 0 && ::flock(holder, LOCK_EX | LOCK_NB) == 0),
          "cannot lock " + settings.lockedFile);
    const auto started = std::chrono::steady_clock::now();
    start();
    if (settings.readerGone) {
        // The reader goes once the program waits, for keys or for room in the pipe.
        const auto deadline = started + Terminal::patience();
        while (!running().asleep() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(Milliseconds(10));
        running().stopReading();
    }
    // The input ends after the keys, unless the reader has gone: then the program must end by itself.
    if (options_.piped) running().send(row.keys == "-" ? "" : tables::unescape(row.keys));
    if (options_.piped && !settings.readerGone) running().hangUp();
    expectExit(row.exit);
    if (holder >= 0) {
        ::close(holder);
        check(std::chrono::steady_clock::now() - started >= Milliseconds(2900), "not the 3 s a lock is waited for");
    }
    std::string out = running().output(), err = readFile(errors);
    fs::remove(errors);
    std::erase(out, '\r');  // a terminal's line ends
    check(tables::meets(row.output, out), "not \"" + row.output + "\" on standard output:\n" + out);
    check(out.find('\x1b') == std::string::npos, "an escape sequence on standard output");
    if (row.exit == "2") {
        // The reason after the program's name, on a line of its own, then the usage hint.
        const std::string name = "dvdverwaltung: ";
        check(err.starts_with(name) && err.ends_with("dvdverwaltung --help\n"), "no reason and usage hint: " + err);
        const std::string reason = err.substr(name.size(), err.find('\n') + 1 - name.size());
        check(tables::meets("=" + row.errors, reason), "not the reason \"" + row.errors + "\":\n" + err);
    } else {
        check(tables::meets(row.errors, err), "not \"" + row.errors + "\" on standard error:\n" + err);
    }
    scenario::Files after = before;
    if (const auto library = scenario::readFile(data / "after" / (row.name + ".csv"))) after["daten/DVDBibliothek.csv"] = *library;
    for (const auto& [name, bytes] : scenario::readFolder(data / "after" / row.name)) after[name] = bytes;
    expectFiles(after, before);
}

// The rows of a table (tests/cases/command-line.txt), or the one named.
int Player::playTable(const std::string& only) {
    int failures = 0, played = 0;
    for (const tables::CommandLineRow& row : tables::readCommandLineTable(folder_.string())) {
        if (!only.empty() && row.name != only) continue;
        ++played;
        try {
            playRow(row);
        } catch (const Failure& failure) {
            std::fprintf(stderr, "%s:%d: %s: %s\n", folder_.c_str(), row.line, row.name.c_str(), failure.what.c_str());
            ++failures;
        } catch (const Skipped& skipped) {
            if (!only.empty()) throw;
            std::printf("%s: skipped, %s\n", row.name.c_str(), skipped.why.c_str());
        }
        terminal_.reset();
    }
    check(played > 0, "no row " + only);
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && !(argc == 4 && fs::is_regular_file(argv[2]))) {
        std::fprintf(stderr, "usage: %s <program> <case-folder | table [row]>\n", argv[0]);
        return 2;
    }
    // A program that has ended fails the next send, instead of ending the player.
    std::signal(SIGPIPE, SIG_IGN);
    try {
        Player player(argv[1], argv[2]);
        if (fs::is_regular_file(argv[2])) return player.playTable(argc == 4 ? argv[3] : "");
        if (fs::exists(fs::path(argv[2]) / "keys")) player.playScenario();
        else player.playSteps();
        return 0;
    } catch (const Skipped& skipped) {
        std::printf("%s: skipped, %s\n", argv[2], skipped.why.c_str());
        return 77;
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s: %s\n", argv[2], failure.what.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[2], error.what());
    }
    return 1;
}
