#include <gtest/gtest.h>

#include "console/Cp850.h"
#include "console/TextFolding.h"
#include "support/Tables.h"

// The folding of the filter, the sort and the completion against
// tables/folding.txt; its texts are UTF-8, the folding's code page 850.
TEST(TextFolding, Table) {
    const auto cp850Of = [](const std::string& text) { return cp850::fromUtf8(tables::unescape(text)); };
    for (const tables::Row& row : tables::read("folding.txt")) {
        SCOPED_TRACE("folding.txt:" + std::to_string(row.line) + ": " + row.left);
        const std::size_t blank = row.left.find(' ');
        const std::string rule = row.left.substr(0, blank);
        const std::string operand = row.left.substr(blank + 1);
        const std::size_t bar = operand.find(" | ");
        const folding::FoldedText typed = folding::fold(cp850Of(operand.substr(0, bar)));
        std::string actual;
        if (rule == "fold") {
            actual = cp850::toUtf8(typed.base) + " / " + cp850::toUtf8(typed.german);
        } else {
            ASSERT_NE(bar, std::string::npos);
            const std::string value = cp850Of(operand.substr(bar + 3));
            const bool holds = rule == "occurs" ? folding::occursIn(typed, folding::fold(value)) : folding::beginsWith(typed, value);
            ASSERT_TRUE(rule == "occurs" || rule == "begins") << rule;
            actual = holds ? "ja" : "nein";
        }
        EXPECT_EQ(tables::escape(actual), tables::escape(tables::unescape(row.right)));
    }
}
