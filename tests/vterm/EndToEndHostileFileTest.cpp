#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cctype>
#include <chrono>
#include <optional>
#include <string>

#include "EndToEndSupport.h"

// A library file that someone else wrote: terminal sequences, NUL bytes, C1
// controls and an endless line. Shown in the list, none of it may reach the
// terminal as anything but visible glyphs.
namespace {

using namespace end_to_end;

std::string hostileLibrary() {
    using namespace std::string_literals;
    std::string file;
    file += "\x1b[2J\x1b]2;pwned\x07,Titel\0mit NUL,\x9b"s "31mC1,90,\r\n";
    file += "\x1b[?7h\x1b[?25l\x1b[5;5H,\x07\x08\x7f,\r\x0c\x0e,1,\r\n";
    file += std::string(100000, 'L') + ",lang,long,999,\r\n";
    file += "Drama,Normal,Normal,100,\r\n";
    return file;
}

// Valid UTF-8 throughout: a raw byte of 128 or more (C1 controls among them)
// would be read by the terminal as a control or a broken character.
bool validUtf8(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > bytes.size()) return false;
        for (size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

// The control bytes the program sends of its own: CSI sequences, its window
// title, and the line end with which it leaves. Describes the first other one.
std::string firstForeignControl(const std::string& bytes) {
    const std::string ownTitle = "\x1b]2;DVD Verwaltung\x07";
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (byte == '\r' || byte == '\n') continue;
        if (byte == 0x1b) {
            if (bytes.compare(i, ownTitle.size(), ownTitle) == 0) {
                i += ownTitle.size() - 1;
                continue;
            }
            size_t end = i + 1;
            if (end < bytes.size() && bytes[end] == '[') {
                ++end;
                while (end < bytes.size() && (std::isdigit(static_cast<unsigned char>(bytes[end])) || bytes[end] == ';' || bytes[end] == '?'))
                    ++end;
                if (end < bytes.size() && bytes[end] >= 0x40 && bytes[end] <= 0x7e) {
                    i = end;
                    continue;
                }
            }
            return "an ESC sequence at byte " + std::to_string(i) + ": " + bytes.substr(i + 1, 12);
        }
        if (byte < 0x20 || byte == 0x7f) return "control byte " + std::to_string(byte) + " at byte " + std::to_string(i);
    }
    return "";
}

TEST(EndToEndHostileFile, ListsItWithoutLettingAnyControlReachTheTerminal) {
    ScratchDirectory directory;
    writeFile(directory.file("DVDBibliothek.csv"), hostileLibrary());
    PtySession session(programIn(directory, 49, 80));
    VtermScreen& screen = session.screen();
    ASSERT_TRUE(session.pumpUntil([&] { return mainScreenShown(screen); })) << screenDump(screen);
    session.send("1");
    ASSERT_TRUE(session.pumpUntil([&] { return headingShown(screen, "DVD - Bibliothek") && menuAwaitsChoice(screen, 25); }))
        << screenDump(screen);
    session.send("4");
    if (!session.pumpUntil([&] { return headingShown(screen, "DVD - Liste anzeigen"); }, std::chrono::milliseconds(2000)))
        GTEST_SKIP() << "the library list is not there yet";
    ASSERT_TRUE(session.pumpUntil([&] { return showsAt(screen, 7, 70, "Laenge:"); })) << screenDump(screen);
    session.pumpFor(std::chrono::milliseconds(200));  // all of the list, not only its first write

    EXPECT_EQ(screen.title(), "DVD Verwaltung");
    EXPECT_TRUE(headingShown(screen, "DVD - Liste anzeigen")) << screenDump(screen);
    EXPECT_TRUE(showsAt(screen, 7, 2, "Film Art:") && showsAt(screen, 7, 20, "Titel DE:")) << screenDump(screen);
    EXPECT_FALSE(screen.privateModeSet(7)) << "a record switched autowrap back on";
    EXPECT_TRUE(screen.cursorVisible()) << "a record hid the cursor";

    const std::string& output = session.output();
    EXPECT_EQ(output.find('\0'), std::string::npos) << "a NUL byte reached the terminal";
    EXPECT_EQ(output.find("\x1b]2;pwned"), std::string::npos) << "a record set the window title";
    EXPECT_EQ(output.find("\x1b[2J"), std::string::npos) << "a record cleared the terminal";
    EXPECT_TRUE(validUtf8(output)) << "raw 8-bit bytes reached the terminal";
    EXPECT_EQ(firstForeignControl(output), "");

    session.send("\x1b");
    ASSERT_TRUE(session.pumpUntil([&] { return menuAwaitsChoice(screen, 25); })) << screenDump(screen);
    session.send("\x1b");
    ASSERT_TRUE(session.pumpUntil([&] { return mainScreenShown(screen); })) << screenDump(screen);
    session.send("\x1b");
    const std::optional<int> status = session.waitForExit();
    ASSERT_TRUE(status.has_value()) << "the program did not end after Escape";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << describeWaitStatus(*status);
    EXPECT_EQ(fileBytes(directory.file("DVDBibliothek.csv")), hostileLibrary()) << "listing must not change the file";
}

}  // namespace
