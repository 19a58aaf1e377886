#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/KeyDecoder.h"

// Typed UTF-8 becomes code page 850 bytes; what that code page lacks, and
// what is not UTF-8 at all, is dropped.
namespace {

std::vector<int> decodeAtOnce(const std::string& bytes) {
    KeyDecoder decoder;
    decoder.feed(bytes, 0);
    std::vector<int> codes;
    while (decoder.hasKey()) codes.push_back(decoder.takeKey());
    return codes;
}

TEST(KeyDecoderUtf8, LettersOfTheCodePageArriveAsTheirByte) {
    EXPECT_EQ(decodeAtOnce("äöüÄÖÜß"), (std::vector<int>{132, 148, 129, 142, 153, 154, 225}));
    EXPECT_EQ(decodeAtOnce("é£ñ\xc2\xa0"), (std::vector<int>{130, 156, 164, 255}));
    EXPECT_EQ(decodeAtOnce("\x1b" "ä"), (std::vector<int>{27, 132}));  // Alt+ä
}

TEST(KeyDecoderUtf8, CharactersTheCodePageLacksAreDropped) {
    EXPECT_EQ(decodeAtOnce("a€b😀c日d"), (std::vector<int>{97, 98, 99, 100}));
    EXPECT_EQ(decodeAtOnce("\xc2\x85" "x"), std::vector<int>{120});  // C1 control
    // Ó is byte 224, which would read as an extended key's prefix.
    EXPECT_EQ(decodeAtOnce("Óa"), std::vector<int>{97});
}

TEST(KeyDecoderUtf8, InvalidUtf8IsDroppedAndTheNextCharacterKept) {
    EXPECT_EQ(decodeAtOnce("\x80\xbf" "a"), std::vector<int>{97});          // stray continuations
    EXPECT_EQ(decodeAtOnce("\xc0\xaf\xc1\x81" "a"), std::vector<int>{97});  // overlong
    EXPECT_EQ(decodeAtOnce("\xe0\x80\xaf" "a"), std::vector<int>{97});      // overlong
    EXPECT_EQ(decodeAtOnce("\xed\xa0\x80" "a"), std::vector<int>{97});      // surrogate
    EXPECT_EQ(decodeAtOnce("\xf4\x90\x80\x80\xf5\xff" "a"), std::vector<int>{97});
    EXPECT_EQ(decodeAtOnce("\xe4x\xfc"), std::vector<int>{120});            // Latin-1 ä, ü
    EXPECT_EQ(decodeAtOnce("\xc3\x1b[A"), (std::vector<int>{224, 72}));     // cut short by a key
    EXPECT_EQ(decodeAtOnce("\xe2\x82" "ä"), std::vector<int>{132});
}

}  // namespace
