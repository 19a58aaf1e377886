#include <gtest/gtest.h>

#include <sstream>

#include "rental/LendingDates.h"
#include "support/Tables.h"

namespace {

using namespace lending_dates;

std::vector<std::string> words(const std::string& text) {
    std::istringstream stream(text);
    std::vector<std::string> result;
    for (std::string word; stream >> word;) result.push_back(tables::unescape(word));
    return result;
}

std::optional<Day> dateOf(const std::string& text) { return text == "?" ? std::nullopt : parseIsoDate(text); }

Borrowing borrowingOf(const std::string& text) {
    const auto first = text.find('.'), second = text.find('.', first + 1);
    return {text.substr(0, first), text.substr(first + 1, second - first - 1), text.substr(second + 1)};
}

std::string matched(const std::string& left) {
    const auto bar = left.find('|');
    std::vector<Borrowing> lendings;
    for (const std::string& each : words(left.substr(bar + 1))) lendings.push_back(borrowingOf(each));
    DateMatcher matcher(lendings);
    for (const std::string& event : words(left.substr(0, bar))) {
        const auto at = event.find('@');
        if (event[0] == '+') matcher.lent(borrowingOf(event.substr(1, at - 1)), parseIsoDate(event.substr(at + 1)));
        else matcher.returned(borrowingOf(event.substr(1)));
    }
    std::string out;
    for (const auto& date : matcher.lendingDates()) out += (out.empty() ? "" : " ") + (date ? isoDate(*date) : "?");
    return out;
}

std::string answer(const std::string& rule, const std::string& rest) {
    const std::vector<std::string> args = words(rest);
    if (rule == "date") {
        const auto date = parseIsoDate(rest.empty() ? "" : tables::unescape(rest));
        return date ? germanDate(*date) : "-";
    }
    if (rule == "overdue") return isOverdue(dateOf(args[0]), *parseIsoDate(args[1]), std::stoi(args[2])) ? "ja" : "nein";
    if (rule == "order") {
        std::vector<std::optional<Day>> dates;
        for (const std::string& each : args) dates.push_back(dateOf(each));
        std::string out;
        for (const int index : oldestFirst(dates)) out += (out.empty() ? "" : " ") + std::to_string(index);
        return out;
    }
    return matched(rest);
}

}  // namespace

TEST(LendingDates, Table) {
    for (const tables::Row& row : tables::read("lending-dates.txt")) {
        SCOPED_TRACE("lending-dates.txt:" + std::to_string(row.line));
        const auto space = row.left.find(' ');
        const std::string rule = row.left.substr(0, space);
        const std::string rest = space == std::string::npos ? "" : row.left.substr(space + 1);
        EXPECT_EQ(answer(rule, rest), row.right);
    }
}

TEST(LendingDates, IsoDatesRoundTrip) {
    for (Day day = dayOf(1900, 1, 1); day <= dayOf(2200, 12, 31); ++day) {
        ASSERT_EQ(parseIsoDate(isoDate(day)), day);
    }
}
