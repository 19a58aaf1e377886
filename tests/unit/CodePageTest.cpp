#include <gtest/gtest.h>

#include "console/Cp850.h"
#include "console/KeyDecoder.h"
#include "console/PlainForm.h"
#include "support/Tables.h"

// The upper half of code page 850 against tables/cp850.txt, both ways, and
// typed as UTF-8 through the key decoder.
TEST(CodePage850, Table) {
    const auto rows = tables::read("cp850.txt");
    ASSERT_EQ(rows.size(), 128u);
    for (const tables::Row& row : rows) {
        const auto byte = static_cast<unsigned char>(std::stoi(row.left, nullptr, 16));
        const auto codePoint = static_cast<char32_t>(std::stoul(row.right, nullptr, 16));
        SCOPED_TRACE("cp850.txt:" + std::to_string(row.line));
        EXPECT_EQ(cp850::toUnicode(byte), codePoint);
        EXPECT_EQ(cp850::fromUnicode(codePoint), byte);
        KeyDecoder decoder;
        decoder.feed(cp850::toUtf8(std::string(1, static_cast<char>(byte))), 0);
        // 224 would read as the prefix of an extended key: it is not typed.
        if (byte == 224) {
            EXPECT_FALSE(decoder.hasKey());
        } else {
            // The non-breaking space is typed as the blank it looks like.
            ASSERT_TRUE(decoder.hasKey());
            EXPECT_EQ(decoder.takeKey(), byte == 0xFF ? ' ' : byte);
        }
    }
}

// What any Unicode character becomes in code page 850: tables/plain-form.txt.
TEST(CodePage850, PlainForms) {
    for (const tables::Row& row : tables::read("plain-form.txt")) {
        SCOPED_TRACE("plain-form.txt:" + std::to_string(row.line) + ": " + row.left);
        const auto codePoint = static_cast<char32_t>(std::stoul(row.left, nullptr, 16));
        EXPECT_EQ(cp850::toUtf8(cp850::cp850ForCodePoint(codePoint)), tables::unescape(row.right));
    }
}
