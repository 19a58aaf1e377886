#include "app/ListOrder.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "console/TextFolding.h"
#include "library/DvdLibrary.h"

namespace {

// A running time as the library reads it. Values that are none sort after
// every number.
struct NumberKey {
    bool isNumber = false;
    int number = 0;
    bool operator<(const NumberKey& other) const {
        if (isNumber != other.isNumber) return isNumber;
        return number < other.number;
    }
};

NumberKey numberKeyOf(const std::string& text) {
    const std::optional<int> minutes = DvdLibrary::lengthInMinutes(text);
    return minutes ? NumberKey{true, *minutes} : NumberKey{};
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
