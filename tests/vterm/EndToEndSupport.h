#pragma once
#include <string>
#include <string_view>

#include "PtySession.h"
#include "VtermScreen.h"

// What the end-to-end tests share: a scratch working directory, the program
// started in it, and readings of the terminal the program draws on.
namespace end_to_end {

// A fresh, empty directory for the data files, removed with everything in it.
class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

PtySession::Options programIn(const ScratchDirectory& directory, int rows, int columns);

// The palette entry a terminal shows for a console colour (the console counts
// blue, green, red from bit 0, the terminal's SGR red, green, blue).
int paletteOf(int consoleColour);

// The UTF-8 text stands at (row, column).
bool showsAt(VtermScreen& screen, int row, int column, std::string_view text);
// The finished main screen with the cursor after "Wahl:", when row 20 is visible.
bool mainScreenShown(VtermScreen& screen);
// Heading text at row 2, column 32, as every screen but the main one has.
bool headingShown(VtermScreen& screen, std::string_view heading);
// A menu drawn in full: its "Wahl:" at (row, 30) with the cursor right after it.
bool menuAwaitsChoice(VtermScreen& screen, int row);

// Writes '#' over every cell of the emulator, as if the terminal had lost its
// contents: anything the program does not repaint keeps showing '#'.
void scribbleOver(VtermScreen& screen);
bool anyScribbleLeft(VtermScreen& screen);

std::string fileBytes(const std::string& path);  // empty when missing
bool fileExists(const std::string& path);
void writeFile(const std::string& path, std::string_view bytes);

std::string describeWaitStatus(int status);
// The emulator's rows as text, for failure messages.
std::string screenDump(VtermScreen& screen);

// After the program has ended: modes, colours, cursor and the line discipline
// are as they were before it started, and the cursor is on a fresh line.
void expectTerminalGivenBack(PtySession& session);

}  // namespace end_to_end
