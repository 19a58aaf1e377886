#include <gtest/gtest.h>

#include <stdexcept>

#include "console/Keys.h"

TEST(KeyNotation, NamesStandForTheCodesTheConsoleRuntimeDelivers) {
    EXPECT_EQ(keys::parseNotation("Ab<Enter><F1><F2><Esc><Bksp>"),
              (std::vector<int>{'A', 'b', 13, 0, 59, 0, 60, 27, 8}));
    EXPECT_EQ(keys::parseNotation("<Up><Down><PgUp><PgDn><Home><End><F12>"),
              (std::vector<int>{224, 72, 224, 80, 224, 73, 224, 81, 224, 71, 224, 79, 224, 134}));
    EXPECT_EQ(keys::parseNotation("<lt>;<#0><#255>>"), (std::vector<int>{'<', ';', 0, 255, '>'}));
}

TEST(KeyNotation, RefusesWhatItCannotRead) {
    for (const char* text : {"<F13>", "<enter>", "<Enter", "<#256>", "<#>", "<#1x>", "<>"})
        EXPECT_THROW(keys::parseNotation(text), std::invalid_argument) << text;
}

TEST(KeyNotation, FormattingReadsBackToTheSameCodes) {
    const std::vector<int> codes{'<', 'x', 0, 59, 224, 81, 0, 72, 224, 13, 27, 8, 0x84, 224, 0};
    EXPECT_EQ(keys::formatNotation(codes), "<lt>x<F1><PgDn><#0>H<#224><Enter><Esc><Bksp><#132><#224><#0>");
    EXPECT_EQ(keys::parseNotation(keys::formatNotation(codes)), codes);
}
