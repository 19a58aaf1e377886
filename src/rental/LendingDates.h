#pragma once
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
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

// Gives each current lending a date from the "verliehen" lines of the same
// title and names that no "zurueck" closed, a "zurueck" closing the oldest
// open line. The lendings of one title and borrower take the newest of these
// lines, the register's later lines the newer ones; an older line left open
// is one whose return the journal missed. Events are fed in the journal's
// order; of each title and borrower only as many open lines are kept as it
// has lendings, so a journal of any length costs memory for those alone.
class DateMatcher {
public:
    explicit DateMatcher(std::vector<Borrowing> lendings);
    // Its keys point into the lendings it holds.
    DateMatcher(const DateMatcher&) = delete;
    DateMatcher& operator=(const DateMatcher&) = delete;

    void lent(std::string_view title, std::string_view surname, std::string_view firstName, std::optional<Day> date);
    void returned(std::string_view title, std::string_view surname, std::string_view firstName);
    void lent(const Borrowing& who, std::optional<Day> date) { lent(who.title, who.surname, who.firstName, date); }
    void returned(const Borrowing& who) { returned(who.title, who.surname, who.firstName); }
    // One per lending given, in their order: the date, or nothing when unknown.
    std::vector<std::optional<Day>> lendingDates() const;

private:
    // The open "verliehen" lines of one title and borrower: the dates of the
    // newest, oldest first, at most one per lending, and how many older ones
    // are open besides.
    struct OpenLendings {
        std::string_view surname;
        std::string_view firstName;
        std::size_t lendingCount = 0;
        std::deque<std::optional<Day>> newest;
        long long olderOpen = 0;
    };
    // A journal line costs one lookup by its title; the few borrowers of a
    // title are compared one by one.
    const OpenLendings* find(std::string_view title, std::string_view surname, std::string_view firstName) const;
    OpenLendings* find(std::string_view title, std::string_view surname, std::string_view firstName) {
        return const_cast<OpenLendings*>(std::as_const(*this).find(title, surname, firstName));
    }

    std::vector<Borrowing> lendings;
    std::unordered_map<std::string_view, std::vector<OpenLendings>> byTitle;
};

}  // namespace lending_dates
