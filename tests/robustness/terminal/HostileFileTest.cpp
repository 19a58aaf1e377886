#include <gtest/gtest.h>
#include <sys/wait.h>

#include <string>

#include "TerminalDriving.h"

// Data files written by someone else: terminal sequences (7-bit and C1),
// queries that would make the terminal answer, NUL and every other byte, a
// line of a megabyte, a line of thousands of fields, more lines than a store
// holds. Both lists show them, scrolled through, and the raw output the
// terminal gets holds no control byte but those of the program's own
// sequences.
namespace {

using namespace robustness;
using namespace std::string_literals;
using end_to_end::headingShown;
using end_to_end::menuAwaitsChoice;
using end_to_end::showsAt;

// Every byte but LF, in lines that also stand as fields of the other file.
std::string everyByteLines(int count) {
    std::string lines;
    for (int line = 0; line < count; ++line) {
        for (int i = 0; i < 90; ++i) {
            const char byte = static_cast<char>((line * 7 + i * 13) % 256);
            if (byte != '\n') lines += byte;
        }
        lines += "\r\n";
    }
    return lines;
}

std::string hostileFile() {
    std::string file;
    file += "\x1b[2J\x1b[H,\x1b]2;pwned\x07,\x1b]0;st\x1b\\,\x1bP+q544e\x1b\\,\r\n";
    file += "\x1b[6n\x1b[c,\x9b" "6n\x9b" "31m,\x9d" "2;c1\x9c,\x90q\x9c,\r\n";
    file += "\x1b" "c\x1b#8,\x1b(0lqk\x1b(B,\x0e\x0f\x07\x08\t\x0b\x0c,\x7f\x1b[?1049h,\r\n";
    file += "NUL\0in\0the\0middle,\0,\0\0\0,CR\rallein,\r\n"s;
    file += "\x1b[?25l\x1b[?7h\x1b[5;5r,\x1b[38;2;255;0;0mrot,\x1b[8m,\x1b]52;c;cHduZWQ=\x07,\r\n";
    file += std::string(1 << 20, 'L') + ",\x1b[2J" + std::string(5000, 'M') + ",lang,1,\r\n";
    file += std::string(5000, ',') + "\r\n";
    file += "\"\x1b[2J\",\"a\"\"\x1b]2;x\x07\",\"\x00\"\r\n"s;
    file += everyByteLines(2400);
    return file;
}

// The first control byte that is not part of one of the program's own
// sequences: CSI with the final bytes it uses (cursor moves, colours, window
// title save/restore and size, scrolling region, private modes) and its
// window title. The line end of the restore on exit is allowed at the end.
// Describes what it found, or returns an empty text.
std::string firstForeignControl(const std::string& bytes) {
    const std::string ownTitle = "\x1b]2;DVD Verwaltung\x07";
    const std::string allowedFinals = "HCDmtrhl";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == 0x1b) {
            if (bytes.compare(i, ownTitle.size(), ownTitle) == 0) {
                i += ownTitle.size() - 1;
                continue;
            }
            std::size_t end = i + 1;
            if (end < bytes.size() && bytes[end] == '[') {
                ++end;
                while (end < bytes.size() && (std::isdigit(static_cast<unsigned char>(bytes[end])) || bytes[end] == ';' || bytes[end] == '?'))
                    ++end;
                if (end < bytes.size() && allowedFinals.find(bytes[end]) != std::string::npos) {
                    i = end;
                    continue;
                }
            }
            return "ESC sequence at byte " + std::to_string(i) + ": " + printable(bytes.substr(i, 16));
        }
        // (The terminal's own output processing may turn its LF into CR LF.)
        if ((byte == '\r' || byte == '\n') && bytes.find_first_not_of("\r\n", i) == std::string::npos) break;
        if (byte < 0x20 || byte == 0x7f)
            return "control byte " + std::to_string(byte) + " at byte " + std::to_string(i) + " of " +
                   std::to_string(bytes.size()) + ", between " + printable(bytes.substr(i >= 24 ? i - 24 : 0, 24)) +
                   " and " + printable(bytes.substr(i, 24));
    }
    return {};
}

// Valid UTF-8 without C1 controls (U+0080 to U+009F), which 8-bit terminals obey.
std::string firstBadCharacter(const std::string& bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > bytes.size()) return "invalid UTF-8 at byte " + std::to_string(i);
        char32_t codePoint = length == 1 ? lead : lead & (0x7f >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            if ((next & 0xC0) != 0x80) return "invalid UTF-8 at byte " + std::to_string(i);
            codePoint = (codePoint << 6) | (next & 0x3F);
        }
        if (codePoint >= 0x80 && codePoint <= 0x9f) return "C1 control at byte " + std::to_string(i);
        i += length;
    }
    return {};
}

// Page Down three times, End, Home: rows from all over the list get drawn.
void scrollThrough(PtySession& session) {
    for (const char* key : {"\x1b[6~", "\x1b[6~", "\x1b[6~", "\x1b[F", "\x1b[H"}) {
        session.send(key);
        session.pumpFor(std::chrono::milliseconds(60));
    }
}

void expectScreenIntact(PtySession& session, std::string_view heading) {
    VtermScreen& screen = session.screen();
    EXPECT_EQ(screen.title(), "DVD Verwaltung");
    EXPECT_TRUE(headingShown(screen, heading)) << screenDump(session);
    EXPECT_TRUE(screen.altScreen()) << "a record switched the program's screen off";
    EXPECT_FALSE(screen.privateModeSet(7)) << "a record switched autowrap back on";
    EXPECT_TRUE(screen.cursorVisible()) << "a record hid the cursor";
}

TEST(HostileFiles, BothListsShowThemWithoutAControlByteReachingTheTerminal) {
    end_to_end::ScratchDirectory directory;
    const std::string hostile = hostileFile();
    end_to_end::writeFile(directory.file(LIBRARY_FILE), hostile);
    end_to_end::writeFile(directory.file(RENTAL_FILE), hostile);
    auto session = startProgram(directory);
    PtySession& program = *session;
    VtermScreen& screen = program.screen();
    ASSERT_TRUE(awaitMainScreen(program));

    ASSERT_TRUE(openLibraryMenu(program));
    program.send("4");
    ASSERT_TRUE(program.pumpUntil([&] { return headingShown(screen, "DVD - Liste anzeigen") && showsAt(screen, 7, 70, "Laenge:"); }))
        << screenDump(program);
    // The sequences of the first record show as glyphs: ESC as the control picture.
    EXPECT_TRUE(showsAt(screen, 10, 2, "\u241b[2J\u241b[H")) << screenDump(program);
    EXPECT_NE(screen.rowText(8).find("NICHT ANGEZEIGT!"), std::string::npos)
        << "the records past the store's size must be announced" << screenDump(program);
    scrollThrough(program);
    expectScreenIntact(program, "DVD - Liste anzeigen");
    ASSERT_TRUE(escapeToSubMenu(program, "DVD - Bibliothek"));
    ASSERT_TRUE(escapeToMainScreen(program));

    ASSERT_TRUE(openRentalMenu(program));
    program.send("3");
    ASSERT_TRUE(program.pumpUntil([&] { return headingShown(screen, "Verleih - Liste anzeigen") && showsAt(screen, 7, 50, "Vorname:"); }))
        << screenDump(program);
    EXPECT_TRUE(showsAt(screen, 10, 2, "\u241b[2J\u241b[H")) << screenDump(program);
    scrollThrough(program);
    expectScreenIntact(program, "Verleih - Liste anzeigen");
    ASSERT_TRUE(escapeToSubMenu(program, "DVD - Verleih"));
    ASSERT_TRUE(leaveWithStatusZero(program));

    const std::string& output = program.output();
    EXPECT_EQ(firstForeignControl(output), "");
    EXPECT_EQ(firstBadCharacter(output), "");
    EXPECT_EQ(end_to_end::fileBytes(directory.file(LIBRARY_FILE)), hostile) << "listing must not change the file";
    EXPECT_EQ(end_to_end::fileBytes(directory.file(RENTAL_FILE)), hostile) << "listing must not change the file";
}

}  // namespace
