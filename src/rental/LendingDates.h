#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Dates of the lending journal and which current lending each of its
// "verliehen" lines belongs to. Pure logic: no file, no clock.
namespace lending_dates {

// A calendar date as a count of days, so that differences are days.
using Day = int;

Day dayOf(int year, int month, int day);
// "JJJJ-MM-TT" as the journal writes it; nothing for any other text or an
// impossible date.
std::optional<Day> parseIsoDate(std::string_view text);
std::string isoDate(Day day);
// "TT.MM.JJJJ", as the screens show dates.
std::string germanDate(Day day);

constexpr int DEFAULT_LENDING_DAYS = 28;
constexpr int MIN_LENDING_DAYS = 1;
constexpr int MAX_LENDING_DAYS = 3650;

// Overdue once more days than the lending period have passed; a lending of
// unknown date never is.
bool isOverdue(std::optional<Day> since, Day today, int lendingDays);

// The lendings by their dates, oldest first, those of unknown date before
// them; lendings of the same date keep their order.
std::vector<int> oldestFirst(const std::vector<std::optional<Day>>& dates);

// Who has which title: what a journal line and a lending are matched on.
struct Borrowing {
    std::string title;
    std::string surname;
    std::string firstName;
    bool operator==(const Borrowing&) const = default;
};

// Gives each current lending the date of the oldest "verliehen" line of the
// same title and names that no later "zurueck" and no earlier current
// lending took (first in, first out). Events are fed in the journal's order;
// only lines about a current lending are kept, so a journal of any length
// costs memory for those alone.
class DateMatcher {
public:
    explicit DateMatcher(const std::vector<Borrowing>& lendings);

    void lent(const Borrowing& who, std::optional<Day> date);
    void returned(const Borrowing& who);
    // One per lending given, in their order: the date, or nothing when unknown.
    std::vector<std::optional<Day>> lendingDates() const;

private:
    struct BorrowingHash {
        std::size_t operator()(const Borrowing& who) const;
    };
    // The open "verliehen" dates of one title and borrower, oldest from `first`.
    struct OpenLendings {
        std::vector<std::optional<Day>> dates;
        std::size_t first = 0;
    };
    std::vector<Borrowing> lendings;
    std::unordered_map<Borrowing, OpenLendings, BorrowingHash> open;
};

}  // namespace lending_dates
