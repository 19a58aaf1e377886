// Plays a case folder (tests/pty/cases/README.md) against the real program
// in a pseudo-terminal; exit status 0 when every check held.
//   pty_cases <program> <case-folder>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <thread>

#include "Terminal.h"

namespace fs = std::filesystem;
using Milliseconds = std::chrono::milliseconds;

namespace {

const std::map<std::string, int> kSignals = {{"SIGINT", SIGINT},   {"SIGTERM", SIGTERM}, {"SIGHUP", SIGHUP},
                                             {"SIGQUIT", SIGQUIT}, {"SIGKILL", SIGKILL}, {"SIGSEGV", SIGSEGV},
                                             {"SIGABRT", SIGABRT}, {"SIGTSTP", SIGTSTP}};

struct Failure {
    std::string what;
};

// Every regular file below the folder, by relative path (".keep" holds an empty folder).
std::map<std::string, std::string> filesBelow(const fs::path& folder) {
    std::map<std::string, std::string> files;
    if (!fs::is_directory(folder)) return files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (entry.is_regular_file() && entry.path().filename() != ".keep") files[fs::relative(entry.path(), folder).string()] = readFile(entry.path().string());
    return files;
}

// The first control byte the program did not send as part of its own cursor,
// colour, mode and title sequences, or invalid UTF-8 or a C1 control.
std::string firstForeignByte(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (bytes.compare(i, 2, "\x1b[") == 0) {
            const size_t final = bytes.find_first_not_of("0123456789;?", i + 2);
            if (final != std::string::npos && std::string_view("HCDmtrhl").find(bytes[final]) != std::string::npos) {
                i = final;
                continue;
            }
        }
        if (const std::string_view title = "\x1b]2;DVD Verwaltung\x07"; bytes.compare(i, title.size(), title) == 0) {
            i += title.size() - 1;
            continue;
        }
        if (byte >= 0xC2 && byte < 0xF5 && i + 1 < bytes.size()) {  // a UTF-8 sequence, no C1 (U+0080-U+009F)
            const size_t length = byte < 0xE0 ? 2 : byte < 0xF0 ? 3 : 4;
            bool whole = i + length <= bytes.size() && !(byte == 0xC2 && static_cast<unsigned char>(bytes[i + 1]) < 0xA0);
            for (size_t k = 1; whole && k < length; ++k) whole = (static_cast<unsigned char>(bytes[i + k]) & 0xC0) == 0x80;
            if (whole) {
                i += length - 1;
                continue;
            }
        }
        const bool lineEndAtExit = (byte == '\r' || byte == '\n') && bytes.find_first_not_of("\r\n", i) == std::string::npos;
        if ((byte < 0x20 || byte >= 0x7f) && !lineEndAtExit)
            return "byte " + std::to_string(byte) + " at " + std::to_string(i) + " of " + std::to_string(bytes.size());
    }
    return {};
}

class CasePlayer {
public:
    CasePlayer(std::string program, fs::path folder) : program_(std::move(program)), folder_(std::move(folder)) {
        std::ifstream steps(folder_ / "steps");
        for (std::string line; std::getline(steps, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            const size_t start = line.find_first_not_of(' ');
            if (start == std::string::npos || line[start] == '#') continue;
            const size_t space = line.find(' ', start);
            const std::string word = line.substr(start, space - start);
            steps_.push_back({word, space == std::string::npos ? "" : line.substr(space + 1)});
            if (word == "repeat") repeat_ = std::stoi(steps_.back().second);
            if (word == "from") data_ = folder_ / steps_.back().second;
        }
        if (steps_.empty()) throw Failure{"no steps in " + (folder_ / "steps").string()};
        if (const char* override = std::getenv("DVD_CASE_REPEAT"); override != nullptr && repeat_ > 1)
            repeat_ = std::atoi(override);
    }

    int play() {
        const char* seedText = std::getenv("DVD_CASE_SEED");
        const unsigned long long seed = seedText != nullptr ? std::strtoull(seedText, nullptr, 10) : 1;
        for (int run = 0; run < repeat_; ++run) {
            random_.seed(seed + static_cast<unsigned long long>(run));
            try {
                playOnce();
            } catch (const Failure& failure) {
                std::fprintf(stderr, "%s: %s\n  (run %d, DVD_CASE_SEED=%llu)%s\n", folder_.c_str(), failure.what.c_str(),
                             run, seed + static_cast<unsigned long long>(run),
                             terminal_ ? terminal_->screen().dump().c_str() : "");
                return 1;
            }
        }
        if (repeat_ > 1)
            std::printf("%s: %d runs, files old %d, new %d, runs leaving other files %d\n", folder_.c_str(), repeat_,
                        keptOld_, tookNew_, leftStrays_);
        return 0;
    }

private:
    fs::path work() const { return fs::temp_directory_path() / ("dvd-case-" + std::to_string(::getpid())); }

    void playOnce() {
        fs::remove_all(work());
        fs::create_directories(work());
        if (fs::is_directory(data_ / "before")) fs::copy(data_ / "before", work(), fs::copy_options::recursive);
        options_ = Terminal::Options{};
        options_.command = {program_};
        options_.directory = work().string();
        options_.environment = {"ESCDELAY=25"};
        filesChecked_ = strays_ = false;
        for (const auto& [word, argument] : steps_) step(word, argument);
        if (!filesChecked_) expectFiles(false);
        terminal_.reset();
        fs::remove_all(work());
    }

    Terminal& running() {
        if (!terminal_) terminal_ = std::make_unique<Terminal>(options_);
        return *terminal_;
    }

    void check(bool holds, const std::string& what) {
        if (!holds) throw Failure{what};
    }

    // The text is shown and the output has come to rest: the program waits.
    void await(const std::function<bool(Screen&)>& shown, const std::string& what) {
        Terminal& terminal = running();
        check(terminal.waitFor([&] { return shown(terminal.screen()); }), "not shown: " + what);
        for (size_t before = ~size_t{0}; before != terminal.output().size();) {
            before = terminal.output().size();
            terminal.pumpFor(Milliseconds(30));
        }
    }

    Milliseconds randomMoment(std::istream& words) {
        std::string within;
        int milliseconds = 0;
        words >> within >> milliseconds;
        if (within != "within") return Milliseconds(milliseconds);
        return Milliseconds(std::uniform_int_distribution<int>(0, milliseconds)(random_));
    }

    void step(const std::string& word, const std::string& argument) {
        std::istringstream words(argument);
        int first = 0, second = 0;
        if (word == "size") {
            words >> options_.rows >> options_.columns;
        } else if (word == "env") {
            options_.environment.push_back(argument);
        } else if (word == "disk-limit") {
            options_.fileSizeLimit = std::stoll(argument);
        } else if (word == "job-control") {
            options_.jobControl = true;
        } else if (word == "pipe") {
            options_.piped = true;
        } else if (word == "allow-strays") {
            strays_ = true;
        } else if (word == "repeat" || word == "from") {
        } else if (word == "start") {
            terminal_.reset();
            running();
        } else if (word == "keys") {
            // A lone Escape stays alone: the next key waits out the Escape delay.
            for (size_t at = 0; at <= argument.size();) {
                const size_t escape = std::min(argument.find("<Esc>", at), argument.size());
                running().send(terminalBytes(argument.substr(at, escape - at)));
                if (escape == argument.size()) break;
                running().send("\x1b");
                running().pumpFor(Milliseconds(150));
                at = escape + 5;
            }
        } else if (word == "wait") {
            await([&](Screen& screen) { return screen.shows(argument); }, argument);
        } else if (word == "wait-at") {
            std::string text;
            words >> first >> second;
            std::getline(words >> std::ws, text);
            await([&](Screen& screen) { return screen.showsAt(first, second, text); }, argument);
        } else if (word == "pause") {
            running().pumpFor(Milliseconds(std::stoi(argument)));
        } else if (word == "signal") {
            std::string names;
            words >> names;
            std::vector<std::string> choices;
            for (size_t at = 0; at <= names.size(); at = names.find(',', at) + 1) {
                choices.push_back(names.substr(at, names.find(',', at) - at));
                if (names.find(',', at) == std::string::npos) break;
            }
            const std::string name = choices[std::uniform_int_distribution<size_t>(0, choices.size() - 1)(random_)];
            check(name == "hangup" || kSignals.count(name) == 1, "unknown signal " + name);
            std::this_thread::sleep_for(randomMoment(words));
            if (name == "hangup") running().hangUp();
            else running().signal(lastSignal_ = kSignals.at(name));
        } else if (word == "hangup") {
            std::this_thread::sleep_for(randomMoment(words));
            running().hangUp();
        } else if (word == "resize") {
            words >> first >> second;
            running().resize(first, second);
        } else if (word == "remove") {
            fs::remove(work() / argument);
        } else if (word == "move") {
            std::string from, to;
            words >> from >> to;
            fs::rename(work() / from, work() / to);
        } else if (word == "mkdir") {
            fs::create_directory(work() / argument);
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
            check(terminal.waitFor([&] { return terminal.screen().privateModeSet(7) && terminal.screen().cursorVisible(); }),
                  "stopped with autowrap off or the cursor hidden");
            check(terminal.modes().c_lflag == terminal.originalModes().c_lflag, "stopped without echo and line editing");
        } else if (word == "resume") {
            running().resume();
        } else if (word == "raw-keys") {
            check(running().waitFor([&] { return (terminal_->modes().c_lflag & (ECHO | ICANON)) == 0; }),
                  "keys are not read raw and unechoed");
        } else if (word == "autowrap") {
            check(running().screen().privateModeSet(7) == (argument == "on"), "autowrap is not " + argument);
        } else if (word == "title") {
            check(running().screen().title() == argument, "title \"" + running().screen().title() + "\"");
        } else if (word == "clean-output") {
            const std::string foreign = firstForeignByte(running().output());
            check(foreign.empty(), "foreign control in the output: " + foreign);
        } else if (word == "output-has") {
            check(running().waitFor([&] { return terminal_->output().find(terminalBytes(argument)) != std::string::npos; }),
                  "not in the output: " + argument);
        } else if (word == "output-lacks") {
            check(running().output().find(terminalBytes(argument)) == std::string::npos, "in the output: " + argument);
        } else if (word == "files") {
            expectFiles(false);
        } else if (word == "files-old-or-new") {
            expectFiles(true);
        } else {
            check(false, "unknown step: " + word);
        }
    }

    void expectExit(const std::string& expected) {
        const std::optional<int> status = running().waitForExit();
        check(status.has_value(), "the program did not end");
        if (expected == "any") return;
        bool right = false;
        if (expected == "sent") right = WIFSIGNALED(*status) && WTERMSIG(*status) == lastSignal_;
        else if (kSignals.count(expected)) right = WIFSIGNALED(*status) && WTERMSIG(*status) == kSignals.at(expected);
        else right = WIFEXITED(*status) && WEXITSTATUS(*status) == std::stoi(expected);
        check(right, "expected the end " + expected + ", got " + describeStatus(*status));
    }

    // Modes, colours, cursor and line discipline as before the start, the cursor on a fresh line.
    void expectTerminalGivenBack() {
        Terminal& terminal = running();
        Screen& screen = terminal.screen();
        check(screen.privateModeSet(7), "autowrap left off");
        check(screen.cursorVisible(), "cursor left hidden");
        check(screen.cursor().column == 0, "the shell's prompt would not start on a fresh line");
        screen.feed("x");
        const Screen::Cell written = screen.cell(screen.cursor().row, screen.cursor().column - 1);
        check(written.foreground == Screen::kDefaultColour && written.background == Screen::kDefaultColour &&
                  !written.styled,
              "colours not reset");
        const termios now = terminal.modes(), before = terminal.originalModes();
        check(now.c_lflag == before.c_lflag && now.c_iflag == before.c_iflag && now.c_oflag == before.c_oflag &&
                  now.c_cc[VMIN] == before.c_cc[VMIN] && now.c_cc[VTIME] == before.c_cc[VTIME],
              "line discipline not given back");
    }

    // The files are those of after/ (or, old-or-new, each as in before/ or after/),
    // waited for a moment since the program writes them after the key.
    void expectFiles(bool oldOrNew) {
        filesChecked_ = true;
        const auto before = filesBelow(data_ / "before");
        const auto after = fs::exists(data_ / "after") ? filesBelow(data_ / "after") : before;
        std::string problem;
        const auto matches = [&] {
            problem.clear();
            auto now = filesBelow(work());
            bool old = true;
            for (const auto& [name, bytes] : after) {
                const auto found = now.find(name);
                const auto original = before.find(name);
                const bool same = found != now.end() && found->second == bytes;
                const bool kept = oldOrNew && (original == before.end() ? found == now.end()
                                                                        : found != now.end() && found->second == original->second);
                if (!same && !kept) problem += " " + name + (found == now.end() ? " missing" : " differs");
                old = old && kept;
                if (found != now.end()) now.erase(found);
            }
            if (!now.empty() && !strays_) problem += " " + now.begin()->first + " left over";
            strayCount_ = now.size();
            oldCount_ = old;
            return problem.empty();
        };
        const bool held = terminal_ ? terminal_->waitFor(matches, Milliseconds(2000)) : matches();
        check(held, "files:" + problem);
        if (oldOrNew) ++(oldCount_ ? keptOld_ : tookNew_);
        leftStrays_ += strayCount_ > 0;
    }

    std::string program_;
    fs::path folder_;
    fs::path data_ = folder_;
    std::vector<std::pair<std::string, std::string>> steps_;
    int repeat_ = 1;
    std::mt19937_64 random_;
    Terminal::Options options_;
    std::unique_ptr<Terminal> terminal_;
    int lastSignal_ = 0;
    bool filesChecked_ = false, strays_ = false, oldCount_ = false;
    size_t strayCount_ = 0;
    int keptOld_ = 0, tookNew_ = 0, leftStrays_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <program> <case-folder>\n", argv[0]);
        return 2;
    }
    try {
        return CasePlayer(argv[1], argv[2]).play();
    } catch (const Failure& failure) {
        std::fprintf(stderr, "%s: %s\n", argv[2], failure.what.c_str());
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s: %s\n", argv[2], error.what());
    }
    return 1;
}
