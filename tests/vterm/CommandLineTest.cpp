#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "EndToEndSupport.h"

// The real program started with the arguments, environment and kind of output
// of each line of tests/cases/command-line.txt; standard output and standard
// error are read apart, which a single pseudo-terminal cannot do.
namespace {

using namespace end_to_end;

struct Case {
    std::string name, arguments, environment, output, keys, exitStatus, expectedOut, expectedErr;
};

std::vector<std::string> splitAt(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        std::string part = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        part.erase(0, part.find_first_not_of(' '));
        part.erase(part.find_last_not_of(' ') + 1);
        if (!part.empty()) parts.push_back(part);
        if (end == std::string::npos) return parts;
        start = end + separator.size();
    }
}

std::vector<Case> loadCases() {
    std::vector<Case> cases;
    std::ifstream file(CASES_DIR "/command-line.txt");
    for (std::string line; std::getline(file, line);) {
        if (line.empty() || line[0] == '#') continue;
        const std::vector<std::string> f = splitAt(line, " | ");
        if (f.size() == 8)
            cases.push_back({f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7]});
        else
            cases.push_back({"malformed_line", line, "", "", "", "", "", ""});
    }
    return cases;
}

struct Outcome {
    int status = -1;
    std::string out, err;
};

[[noreturn]] void execCase(const Case& c) {
    ::setenv("TERM", "xterm", 1);
    for (const std::string& entry : splitAt(c.environment, " ")) {
        if (entry == "-") continue;
        const std::size_t equals = entry.find('=');
        if (entry[0] == '-')
            ::unsetenv(entry.c_str() + 1);
        else
            ::setenv(entry.substr(0, equals).c_str(), entry.substr(equals + 1).c_str(), 1);
    }
    std::vector<std::string> words = splitAt(c.arguments, " ");
    if (words == std::vector<std::string>{"-"}) words.clear();
    std::vector<char*> argv{const_cast<char*>(DVD_BINARY)};
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    ::execv(DVD_BINARY, argv.data());
    ::_exit(127);
}

// Runs the case in the directory; every wait is bounded.
Outcome run(const Case& c, const std::string& directory) {
    const bool terminal = c.output == "terminal";
    int out[2] = {-1, -1}, in[2] = {-1, -1}, err[2] = {-1, -1};
    winsize size{};
    size.ws_row = 49;
    size.ws_col = 80;
    if (terminal && ::openpty(&out[0], &out[1], nullptr, nullptr, &size) != 0) return {};
    if (!terminal && (::pipe(out) != 0 || ::pipe(in) != 0)) return {};
    if (::pipe(err) != 0) return {};
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(directory.c_str()) != 0) ::_exit(126);
        ::dup2(terminal ? out[1] : in[0], 0);
        ::dup2(out[1], 1);
        ::dup2(err[1], 2);
        for (int descriptor : {out[0], out[1], in[0], in[1], err[0], err[1]})
            if (descriptor > 2) ::close(descriptor);
        execCase(c);
    }
    const int outRead = out[0];
    const int outWrite = out[1];
    ::close(outWrite);
    ::close(err[1]);
    if (!terminal) {
        ::close(in[0]);
        if (c.keys != "-") (void)!::write(in[1], c.keys.data(), c.keys.size());
        ::close(in[1]);
    }
    Outcome outcome;
    pollfd watched[2] = {{outRead, POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&outcome.out, &outcome.err};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((watched[0].fd >= 0 || watched[1].fd >= 0) && std::chrono::steady_clock::now() < deadline) {
        if (::poll(watched, 2, 100) <= 0) continue;
        for (int i = 0; i < 2; ++i) {
            if (watched[i].fd < 0 || watched[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t count = ::read(watched[i].fd, buffer, sizeof buffer);
            if (count > 0) {
                sinks[i]->append(buffer, static_cast<std::size_t>(count));
            } else {  // the end, or EIO once the last user of a pty has left
                ::close(watched[i].fd);
                watched[i].fd = -1;
            }
        }
    }
    for (pollfd& descriptor : watched) {
        if (descriptor.fd >= 0) ::close(descriptor.fd);
    }
    if (::waitpid(pid, &outcome.status, WNOHANG) != pid) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &outcome.status, 0);
    }
    return outcome;
}

// The expected text of the case file against what the program wrote.
void expectText(const std::string& expected, std::string actual, const char* stream) {
    std::erase(actual, '\r');  // a terminal's line ends
    if (expected == "-") return;
    if (expected[0] == '=') {
        EXPECT_EQ(actual, expected.size() == 1 ? "" : expected.substr(1) + "\n") << "on " << stream;
    } else {
        EXPECT_NE(actual.find(expected), std::string::npos) << "on " << stream << ":\n" << actual;
    }
}

class CommandLine : public testing::TestWithParam<Case> {};

TEST_P(CommandLine, AnswersBeforeAnyScreen) {
    const Case& c = GetParam();
    ASSERT_NE(c.name, "malformed_line") << c.arguments;
    ScratchDirectory directory;
    std::filesystem::create_directory(directory.file("daten"));
    writeFile(directory.file("daten/DVDBibliothek.csv"), "Krimi,Der Pate,The Godfather,175,\r\n");

    const Outcome outcome = run(c, directory.path());
    ASSERT_TRUE(WIFEXITED(outcome.status)) << describeWaitStatus(outcome.status);
    EXPECT_EQ(std::to_string(WEXITSTATUS(outcome.status)), c.exitStatus) << outcome.err;
    expectText(c.expectedOut, outcome.out, "standard output");
    expectText(c.expectedErr, outcome.err, "standard error");
    EXPECT_EQ(outcome.out.find('\x1b'), std::string::npos) << "an escape sequence on standard output";
    if (c.exitStatus == "2") {
        EXPECT_TRUE(outcome.err.ends_with("dvdverwaltung --help\n")) << outcome.err;
    }
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(directory.path()))
        left.push_back(entry.path().lexically_relative(directory.path()).string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"daten", "daten/DVDBibliothek.csv"})) << "files were created";
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLine, testing::ValuesIn(loadCases()),
                         [](const testing::TestParamInfo<Case>& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
