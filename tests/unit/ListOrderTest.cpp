#include <gtest/gtest.h>

#include "app/ListView.h"
#include "console/Cp850.h"
#include "support/Tables.h"

// The order of a sorted list against tables/list-order.txt.
TEST(ListOrder, Table) {
    for (const tables::Row& row : tables::read("list-order.txt")) {
        SCOPED_TRACE("list-order.txt:" + std::to_string(row.line) + ": " + row.left);
        const std::size_t blank = row.left.find(' ');
        const std::string kind = row.left.substr(0, blank);
        std::vector<std::string> values;
        for (std::size_t start = blank + 1, end = 0; end != std::string::npos; start = end + 1) {
            end = row.left.find('|', start);
            values.push_back(cp850::fromUtf8(tables::unescape(row.left.substr(start, end - start))));
        }
        const SortAs how = kind == "text" ? SortAs::Text : kind == "number" ? SortAs::Number : SortAs::Unsorted;
        ASSERT_TRUE(how != SortAs::Unsorted || kind == "unsorted") << kind;
        std::string order;
        for (const int record : orderedRecords(static_cast<int>(values.size()), how, [&](int record) { return values.at(static_cast<std::size_t>(record)); }))
            order += (order.empty() ? "" : " ") + std::to_string(record);
        EXPECT_EQ(order, row.right);
    }
}
