#include "app/ListOrder.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <numeric>

#include "app/TextFolding.h"

namespace {

// A running time as the form accepts it: blanks, a sign, digits. Values that
// are no number (or too large to compare) sort after every number.
struct NumberKey {
    bool isNumber = false;
    std::int64_t number = 0;
    bool operator<(const NumberKey& other) const {
        if (isNumber != other.isNumber) return isNumber;
        return number < other.number;
    }
};

NumberKey numberKeyOf(const std::string& text) {
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string::npos) return {};
    const char* first = text.data() + start;
    const char* last = text.data() + text.size();
    if (*first == '+') ++first;
    std::int64_t number = 0;
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc{} || end == first) return {};
    return {true, number};
}

template <typename Key>
std::vector<int> stableOrderBy(int count, const std::vector<Key>& keys) {
    std::vector<int> records(static_cast<std::size_t>(count));
    std::iota(records.begin(), records.end(), 0);
    std::stable_sort(records.begin(), records.end(), [&keys](int left, int right) {
        return keys[static_cast<std::size_t>(left)] < keys[static_cast<std::size_t>(right)];
    });
    return records;
}

}  // namespace

std::vector<int> orderedRecords(int count, SortAs how, const std::function<std::string(int record)>& value) {
    if (how == SortAs::Number) {
        std::vector<NumberKey> keys;
        keys.reserve(static_cast<std::size_t>(count));
        for (int record = 0; record < count; ++record) keys.push_back(numberKeyOf(value(record)));
        return stableOrderBy(count, keys);
    }
    std::vector<std::string> keys;
    keys.reserve(static_cast<std::size_t>(count));
    // The filter's base form is the dictionary's: lower case, ä as a, ß as ss.
    for (int record = 0; record < count; ++record)
        keys.push_back(how == SortAs::Text ? folding::fold(value(record)).base : std::string());
    return stableOrderBy(count, keys);
}
