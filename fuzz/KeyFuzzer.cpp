// Any bytes as keys for the whole program over the scripted platform, from a
// working directory with both files: the program must not crash or hang,
// each file must change only by one appended or one removed line between two
// keys read, no save may leave another file, and the terminal output of every
// frame must hold no raw control byte. The same keys typed one by one (each
// only when the program waits for it) must end in the same files and the same
// screen as typed in bursts.
//
// Byte 0xFF followed by n delays the following keys by n * 20 ms of the
// virtual clock. A first byte of 0xFE starts from a library at the store's limit.
// Byte 0xFD followed by b is b typed on a terminal, through the key decoder:
// in a burst the terminal's bytes come in one read, key by key each in a read
// of its own; after an Escape the decoder's escape delay passes in both, and
// the Escape is completed when its time comes, as the terminal platform does
// while the program waits for anything.
#include <cstdint>
#include <vector>

#include "FuzzSupport.h"
#include "app/DvdApplication.h"
#include "console/KeyDecoder.h"
#include "console/TerminalRenderer.h"
#include "support/ScriptedPlatform.h"

namespace {

constexpr const char* kFiles[] = {"DVDBibliothek.csv", "DVDVerleih.csv"};
// Each lend and return is journaled: a third file, only appended to.
constexpr const char* kJournal = "DVDVerleihJournal.csv";
constexpr char kEscape = '\x1b';

using fuzzing::readFile;
using fuzzing::require;

std::vector<std::string> linesOf(const std::string& bytes, const char* name) {
    require(bytes.empty() || bytes.ends_with("\r\n"), std::string(name) + " ends inside a line");
    std::vector<std::string> lines;
    for (size_t at = 0, end; at < bytes.size(); at = end + 2) lines.push_back(bytes.substr(at, (end = bytes.find("\r\n", at)) - at));
    return lines;
}

// Unchanged, one line appended, or one line removed with the rest in order.
void requireOneLineChange(const std::string& before, const std::string& after, const char* name) {
    if (before == after) return;
    const auto old = linesOf(before, name), now = linesOf(after, name);
    const auto& longer = old.size() > now.size() ? old : now;
    const auto& shorter = old.size() > now.size() ? now : old;
    size_t same = 0;
    while (same < shorter.size() && shorter[same] == longer[same]) ++same;
    const bool oneLine = longer.size() == shorter.size() + 1 && (now.size() < old.size() || same == shorter.size()) &&
                         std::equal(shorter.begin() + static_cast<long>(same), shorter.end(), longer.begin() + static_cast<long>(same) + 1);
    require(oneLine, std::string(name) + ": not one appended or removed line");
}

std::string startingLibrary(bool full) {
    std::string file =
        "Drama,Der Pate,The Godfather,175,\r\nKomoedie,\"Eins, Zwei, Drei\",\"One, Two, Three\",104,\r\n"
        "Krieg,\"Das \"\"Boot\"\"\",\"The \"\"Boat\"\"\",149,\r\nSci-Fi,Alien,Alien,117,\r\nSci-Fi,Alien,Alien (Director's Cut),116,\r\n"
        "M\x84rchen,Die Sch\x94ne und das Biest,Beauty and the Beast,84,\r\n,Ohne Art,,1,\r\nDoku,\"\"\"\",\",\",0,\r\n";
    for (int number = 8; full && number < 1999; ++number)
        file += "Genre,Film " + std::to_string(number) + ",Movie " + std::to_string(number) + ",90,\r\n";
    return file;
}

const char* kRentals =
    "Der Pate,Corleone,Vito\r\nAlien,Ripley,Ellen\r\n\"Eins, Zwei, Drei\",\"Mac\"\"Namara\",C. R.\r\n"
    "Die Sch\x94ne und das Biest,M\x81ller,J\x81rgen\r\nNicht mehr da,Weg,Ganz\r\n";

struct Outcome {
    std::string files[2];
    std::string journal;
    std::vector<ScreenCell> screen;  // when the keys ran out
    int cursorRow = 0, cursorColumn = 0;
};

Outcome play(const std::uint8_t* data, std::size_t size, bool keyByKey) {
    for (const auto& entry : std::filesystem::directory_iterator(".")) std::filesystem::remove_all(entry.path());
    const bool fullLibrary = size > 0 && data[0] == 0xFE;
    std::ofstream(kFiles[0], std::ios::binary) << startingLibrary(fullLibrary);
    std::ofstream(kFiles[1], std::ios::binary) << kRentals;

    scripted::reset();
    long long at = 0;
    const auto type = [&](int code) {
        scripted::typeKeyAt(at, code);
        if (keyByKey) scripted::state().keys.back().followsByMs = 20;
    };
    KeyDecoder terminal({.fromTerminal = true});
    std::string read;  // the terminal's bytes not yet read
    const auto readTerminal = [&] {
        terminal.feed(read, at);
        read.clear();
        while (terminal.hasKey()) type(terminal.takeKey());
    };
    for (size_t i = fullLibrary ? 1 : 0; i < size; ++i) {
        if (data[i] == 0xFD && i + 1 < size) {
            const auto byte = static_cast<char>(data[++i]);
            read += byte;
            if (keyByKey || byte == kEscape) readTerminal();
            if (byte != kEscape) continue;
            at += KeyDecoder::DEFAULT_ESCAPE_DELAY_MS;
            terminal.expire(at);
            readTerminal();
            continue;
        }
        readTerminal();
        if (data[i] == 0xFF && i + 1 < size) {
            at += 20LL * data[++i];
            continue;
        }
        type(data[i]);
    }
    readTerminal();
    terminal.endOfInput();
    readTerminal();
    Outcome outcome;
    std::string files[2] = {readFile(kFiles[0]), readFile(kFiles[1])};
    TerminalRenderer renderer;
    std::vector<ScreenCell> cells;
    DvdApplication* program = nullptr;
    bool screenTaken = false;
    scripted::state().onStop = [&](bool pausing) {
        if (pausing || screenTaken || !scripted::state().keys.empty()) return;
        screenTaken = true;
        const scripted::Shown& shown = scripted::state().shown;
        outcome.screen = shown.cells;
        outcome.cursorRow = shown.cursorRow;
        outcome.cursorColumn = shown.cursorColumn;
    };
    scripted::state().onTakeKey = [&] {
        for (int file = 0; file < 2; ++file) {
            std::string now = readFile(kFiles[file]);
            requireOneLineChange(files[file], now, kFiles[file]);
            files[file] = std::move(now);
        }
        // The frame the terminal would get now.
        const int rows = program->bufferRowCount();
        cells.resize(static_cast<size_t>(rows) * 80);
        for (int row = 0; row < rows; ++row)
            for (int column = 0; column < 80; ++column) cells[static_cast<size_t>(row * 80 + column)] = program->cellAt(row, column);
        const FrameView frame{cells.data(), 80, rows, 0, 0, 49, 80, program->cursorRow(), program->cursorColumn()};
        const std::string output = renderer.render(frame);
        for (size_t i = 0; i < output.size(); ++i) {
            const auto byte = static_cast<unsigned char>(output[i]);
            const bool c1 = byte == 0xC2 && i + 1 < output.size() && static_cast<unsigned char>(output[i + 1]) < 0xA0;
            require(byte == 0x1B || (byte >= 0x20 && byte != 0x7F && !c1), "a raw control byte reaches the terminal");
        }
    };
    const long long timeLimit = at + (static_cast<long long>(size) + 300) * 3000;
    scripted::state().onSleep = [&](int) { require(scripted::state().nowMs < timeLimit, "the clock runs on without keys being read"); };
    try {
        DvdApplication application;
        program = &application;
        application.runMainMenu();
    } catch (const std::exception& error) {
        require(false, error.what());  // the program hung reading keys after the script ended
    }
    for (const auto& entry : std::filesystem::directory_iterator("."))
        require(entry.path().filename() == kFiles[0] || entry.path().filename() == kFiles[1] ||
                    entry.path().filename() == kJournal,
                "left behind: " + entry.path().filename().string());
    outcome.files[0] = readFile(kFiles[0]);
    outcome.files[1] = readFile(kFiles[1]);
    outcome.journal = readFile(kJournal);
    return outcome;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::enterScratchDirectory("dvd-key-fuzz");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Outcome burst = play(data, size, false);
    const Outcome slow = play(data, size, true);
    require(burst.files[0] == slow.files[0] && burst.files[1] == slow.files[1] && burst.journal == slow.journal,
            "typed slowly, the files end otherwise");
    require(burst.screen == slow.screen && burst.cursorRow == slow.cursorRow && burst.cursorColumn == slow.cursorColumn,
            "typed slowly, the screen ends otherwise");
    return 0;
}
