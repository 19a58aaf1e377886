#include "EndToEndSupport.h"

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace end_to_end {

ScratchDirectory::ScratchDirectory() {
    std::string pattern = (std::filesystem::temp_directory_path() / "dvd-e2e-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

PtySession::Options programIn(const ScratchDirectory& directory, int rows, int columns) {
    PtySession::Options options;
    options.program = DVD_BINARY;
    options.rows = rows;
    options.columns = columns;
    options.workingDirectory = directory.path();
    return options;
}

int paletteOf(int consoleColour) {
    static constexpr int kPalette[16] = {0, 4, 2, 6, 1, 5, 3, 7, 8, 12, 10, 14, 9, 13, 11, 15};
    return kPalette[consoleColour & 15];
}

bool showsAt(VtermScreen& screen, int row, int column, std::string_view text) {
    int cells = 0;
    for (unsigned char byte : text)
        if ((byte & 0xC0) != 0x80) ++cells;
    return screen.text(row, column, cells) == text;
}

bool menuAwaitsChoice(VtermScreen& screen, int row) {
    return showsAt(screen, row, 30, "Wahl:") && screen.cursor() == VtermScreen::Position{row, 35};
}

bool mainScreenShown(VtermScreen& screen) {
    return menuAwaitsChoice(screen, 20) && showsAt(screen, 2, 8, "DVD Verwaltungs-System") &&
           showsAt(screen, 12, 32, "DVD Verleih");
}

bool headingShown(VtermScreen& screen, std::string_view heading) { return showsAt(screen, 2, 32, heading); }

void scribbleOver(VtermScreen& screen) {
    std::string marks = "\x1b[0m";
    for (int row = 0; row < screen.rows(); ++row)
        marks += "\x1b[" + std::to_string(row + 1) + "H" + std::string(static_cast<size_t>(screen.columns()), '#');
    screen.feed(marks);
}

bool anyScribbleLeft(VtermScreen& screen) {
    for (int row = 0; row < screen.rows(); ++row)
        if (screen.rowText(row).find('#') != std::string::npos) return true;
    return false;
}

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool fileExists(const std::string& path) { return std::filesystem::exists(path); }

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string describeWaitStatus(int status) {
    if (WIFEXITED(status)) return "exit status " + std::to_string(WEXITSTATUS(status));
    if (WIFSIGNALED(status)) return std::string("killed by ") + ::strsignal(WTERMSIG(status));
    return "wait status " + std::to_string(status);
}

std::string screenDump(VtermScreen& screen) {
    std::string dump = "\n";
    for (int row = 0; row < screen.rows(); ++row) {
        std::string text = screen.rowText(row);
        text.erase(text.find_last_not_of(' ') + 1);
        dump += (row < 10 ? " " : "") + std::to_string(row) + "|" + text + "\n";
    }
    return dump;
}

void expectTerminalGivenBack(PtySession& session) {
    VtermScreen& screen = session.screen();
    EXPECT_TRUE(screen.privateModeSet(7)) << "autowrap must be on again";
    EXPECT_TRUE(screen.cursorVisible()) << "the cursor must be shown again";
    EXPECT_EQ(screen.cursor().column, 0) << "the shell's prompt must start on a fresh line";
    EXPECT_FALSE(screen.altScreen()) << "the shell's screen must come back";
    for (int row = 0; row < screen.rows(); ++row)
        EXPECT_EQ(screen.rowText(row).find("Wahl:"), std::string::npos) << "the program's screen left on the shell's";

    // What the shell writes next must come out in the terminal's own colours.
    screen.feed("x");
    const VtermScreen::Cell written = screen.cell(screen.cursor().row, screen.cursor().column - 1);
    EXPECT_EQ(written.foreground, VtermScreen::kDefaultColour) << "colours must be reset";
    EXPECT_EQ(written.background, VtermScreen::kDefaultColour) << "colours must be reset";
    EXPECT_FALSE(written.bold || written.reverse || written.underline);

    const termios now = session.terminalModes();
    const termios& before = session.originalModes();
    EXPECT_EQ(now.c_lflag, before.c_lflag) << "echo and line editing must be back";
    EXPECT_TRUE(now.c_lflag & ECHO);
    EXPECT_TRUE(now.c_lflag & ICANON);
    EXPECT_EQ(now.c_iflag, before.c_iflag);
    EXPECT_EQ(now.c_oflag, before.c_oflag);
    EXPECT_EQ(now.c_cc[VMIN], before.c_cc[VMIN]);
    EXPECT_EQ(now.c_cc[VTIME], before.c_cc[VTIME]);
}

}  // namespace end_to_end
