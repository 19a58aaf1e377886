#include "rental/LendingDates.h"

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <utility>

namespace lending_dates {

// Days from the civil calendar (proleptic Gregorian), counted from 1970-01-01.
Day dayOf(int year, int month, int day) {
    year -= month <= 2;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

namespace {

struct Civil {
    int year;
    int month;
    int day;
};

Civil civilOf(Day days) {
    days += 719468;
    const int era = (days >= 0 ? days : days - 146096) / 146097;
    const int dayOfEra = days - era * 146097;
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int shiftedMonth = (5 * dayOfYear + 2) / 153;
    const int day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const int month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    return {yearOfEra + era * 400 + (month <= 2), month, day};
}

bool digitsAt(std::string_view text, std::size_t start, std::size_t count, int& value) {
    value = 0;
    for (std::size_t index = start; index < start + count; ++index) {
        if (text[index] < '0' || text[index] > '9') return false;
        value = value * 10 + (text[index] - '0');
    }
    return true;
}

}  // namespace

std::optional<Day> parseIsoDate(std::string_view text) {
    int year = 0, month = 0, day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    if (!digitsAt(text, 0, 4, year) || !digitsAt(text, 5, 2, month) || !digitsAt(text, 8, 2, day)) return std::nullopt;
    if (month < 1 || month > 12 || day < 1) return std::nullopt;
    constexpr int DAYS_IN_MONTH[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leapYear = year % 4 == 0 && (year % 100 != 0 || year % 400 == 0);
    if (day > DAYS_IN_MONTH[month - 1] + (month == 2 && leapYear)) return std::nullopt;
    return dayOf(year, month, day);
}

std::string isoDate(Day day) {
    const Civil date = civilOf(day);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

std::string germanDate(Day day) {
    const Civil date = civilOf(day);
    char text[16];
    std::snprintf(text, sizeof text, "%02d.%02d.%04d", date.day, date.month, date.year);
    return text;
}

bool isOverdue(std::optional<Day> since, Day today, int lendingDays) { return since && today - *since > lendingDays; }

std::vector<int> oldestFirst(const std::vector<std::optional<Day>>& dates) {
    std::vector<int> order(dates.size());
    std::iota(order.begin(), order.end(), 0);
    // Nothing compares below every date: the unknown ones lead.
    std::stable_sort(order.begin(), order.end(), [&](int left, int right) { return dates[left] < dates[right]; });
    return order;
}

DateMatcher::DateMatcher(std::vector<Borrowing> current) : lendings(std::move(current)) {
    for (const Borrowing& who : lendings) {
        OpenLendings* lines = find(who.title, who.surname, who.firstName);
        if (!lines) lines = &byTitle[who.title].emplace_back(OpenLendings{who.surname, who.firstName, 0, {}, 0});
        ++lines->lendingCount;
    }
}

const DateMatcher::OpenLendings* DateMatcher::find(std::string_view title, std::string_view surname,
                                                  std::string_view firstName) const {
    const auto found = byTitle.find(title);
    if (found == byTitle.end()) return nullptr;
    for (const OpenLendings& lines : found->second)
        if (lines.surname == surname && lines.firstName == firstName) return &lines;
    return nullptr;
}

void DateMatcher::lent(std::string_view title, std::string_view surname, std::string_view firstName,
                       std::optional<Day> date) {
    OpenLendings* lines = find(title, surname, firstName);
    if (!lines) return;
    lines->newest.push_back(date);
    if (lines->newest.size() <= lines->lendingCount) return;
    lines->newest.pop_front();
    ++lines->olderOpen;
}

void DateMatcher::returned(std::string_view title, std::string_view surname, std::string_view firstName) {
    OpenLendings* lines = find(title, surname, firstName);
    if (!lines) return;
    // A return with no open line is of a lending older than the journal.
    if (lines->olderOpen > 0) --lines->olderOpen;
    else if (!lines->newest.empty()) lines->newest.pop_front();
}

std::vector<std::optional<Day>> DateMatcher::lendingDates() const {
    std::unordered_map<const OpenLendings*, std::size_t> taken;
    std::vector<std::optional<Day>> dates;
    dates.reserve(lendings.size());
    for (const Borrowing& who : lendings) {
        const OpenLendings* lines = find(who.title, who.surname, who.firstName);
        // The first lendings of a borrower go without when fewer lines are open.
        const std::size_t undated = lines->lendingCount - lines->newest.size();
        const std::size_t index = taken[lines]++;
        dates.push_back(index >= undated ? lines->newest[index - undated] : std::nullopt);
    }
    return dates;
}

}  // namespace lending_dates
