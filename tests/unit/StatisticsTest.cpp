#include <gtest/gtest.h>

#include "app/CollectionStatistics.h"
#include "support/Tables.h"

// The figures of --statistik against tables/statistics.txt.
namespace {

// "a,b / c" as records of fields; "-" none.
std::vector<std::vector<std::string>> recordsOf(const std::string& text) {
    std::vector<std::vector<std::string>> records;
    if (text == "-") return records;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 3) {
        end = text.find(" / ", start);
        std::vector<std::string>& fields = records.emplace_back();
        const std::string record = text.substr(start, end - start);
        for (std::size_t from = 0, comma = 0; comma != std::string::npos; from = comma + 1) {
            comma = record.find(',', from);
            fields.push_back(tables::unescape(record.substr(from, comma - from)));
        }
    }
    return records;
}

std::string described(const CollectionStatistics& figures) {
    std::string genres, borrowers;
    for (const auto& genre : figures.genres)
        genres += (genres.empty() ? "" : " ") + genre.genre + "=" + std::to_string(genre.dvds) + "/" + std::to_string(genre.minutes);
    for (const auto& borrower : figures.borrowers)
        borrowers += (borrowers.empty() ? "" : " ") + borrower.name + "," + borrower.firstName + "=" + std::to_string(borrower.dvds);
    return std::to_string(figures.dvds) + " DVDs, " + std::to_string(figures.distinctTitles) + " titles, " +
           std::to_string(figures.minutes) + " min | " + (genres.empty() ? "-" : genres) + " | " +
           std::to_string(figures.lentNow) + " lent | " + (borrowers.empty() ? "-" : borrowers);
}

}  // namespace

TEST(CollectionStatistics, Table) {
    for (const tables::Row& row : tables::read("statistics.txt")) {
        SCOPED_TRACE("statistics.txt:" + std::to_string(row.line));
        const std::size_t first = row.left.find(" | "), second = row.left.find(" | ", first + 3);
        ASSERT_NE(second, std::string::npos);
        const CollectionStatistics figures =
            countCollection(recordsOf(row.left.substr(0, first)), recordsOf(row.left.substr(first + 3, second - first - 3)),
                            std::stoul(row.left.substr(second + 3)));
        EXPECT_EQ(tables::escape(described(figures)), tables::escape(tables::unescape(row.right)));
    }
}
