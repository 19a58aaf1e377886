#include <gtest/gtest.h>
#include <locale.h>

#include <string>

#include "EndToEndSupport.h"

// A terminal in ISO-8859-1: the program writes that set (what it lacks as
// '?', the separator as '-'), takes the letters typed in it, and keeps its
// files in code page 850.
namespace {

using namespace end_to_end;

constexpr const char* kLatin1Locale = "de_DE.ISO-8859-1";

bool localeInstalled(const char* name) {
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) return false;
    ::freelocale(locale);
    return true;
}

TEST(LocaleEdge, Latin1TerminalGetsItsOwnSetBothWays) {
    if (!localeInstalled(kLatin1Locale))
        GTEST_SKIP() << kLatin1Locale << " is not generated here (scripts/test.sh generates it)";
    ScratchDirectory directory;
    // Code page 850: "König" and a shade block, which ISO-8859-1 lacks.
    writeFile(directory.file("DVDBibliothek.csv"), "Krimi,K\x94nig \xB0,King,90,\r\n");
    PtySession::Options options = programIn(directory, 49, 80);
    options.environment = {std::string("LANG=") + kLatin1Locale, "LC_ALL=", "LC_CTYPE="};
    PtySession session(options);
    std::size_t mark = 0;
    const auto awaitOutput = [&](const std::string& text) {
        const bool seen = session.pumpUntil([&] { return session.output().find(text, mark) != std::string::npos; });
        mark = session.output().size();
        return seen;
    };

    ASSERT_TRUE(awaitOutput("Wahl:")) << session.output();
    EXPECT_NE(session.output().find(std::string(80, '-')), std::string::npos) << "the separator as '-'";
    session.send("14");
    ASSERT_TRUE(awaitOutput("K\xF6nig ?")) << "the list in ISO-8859-1";

    session.send("\x1b" "1");
    ASSERT_TRUE(awaitOutput("Film Art:"));
    // 0x9B is a control in ISO-8859-1 and no letter: refused, never typed.
    session.send("K\x9B\xE4se\r");
    ASSERT_TRUE(awaitOutput("Titel in Deutsch:"));
    session.send("\xDC" "ber\r");
    ASSERT_TRUE(awaitOutput("Titel in Englisch:"));
    session.send("X\r");
    ASSERT_TRUE(awaitOutput("Laenge in Minuten:"));
    session.send("95\r");
    ASSERT_TRUE(awaitOutput("F2 Nicht Speichern"));
    session.send("\x1bOP");
    const std::string expected = "Krimi,K\x94nig \xB0,King,90,\r\nK\x84se,\x9A" "ber,X,95,\r\n";
    EXPECT_TRUE(session.pumpUntil([&] { return fileBytes(directory.file("DVDBibliothek.csv")) == expected; }))
        << fileBytes(directory.file("DVDBibliothek.csv"));

    // Nothing UTF-8 and no C1 byte, which 8-bit terminals take as controls.
    for (unsigned char byte : session.output())
        ASSERT_FALSE(byte >= 0x80 && byte < 0xA0) << "byte " << static_cast<int>(byte) << " on the terminal";
    EXPECT_NE(session.output().find("K\xE4se"), std::string::npos) << "typed letters echoed in ISO-8859-1";
}

}  // namespace
