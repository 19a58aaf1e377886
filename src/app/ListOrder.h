#pragma once
#include <functional>
#include <string>
#include <vector>

// How a list column is ordered when the operator sorts by it.
enum class SortAs { Unsorted, Text, Number };

// The records 0..count-1 ordered by one column's values: text as in a German
// dictionary (case ignored, an umlaut as its base letter, ß as ss), numbers
// by value with values that are no number after them; equal values stay in
// file order.
std::vector<int> orderedRecords(int count, SortAs how, const std::function<std::string(int record)>& value);
