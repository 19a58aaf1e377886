#pragma once
#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "storage/StoreLimits.h"

namespace storage {

// One column of a store: a fixed array of byte strings indexed by row.
using StoreColumn = std::array<std::string, MAX_RECORDS>;
// The columns of one store, in the order of the fields of its file lines.
using ColumnList = std::span<StoreColumn* const>;

// Empties rows firstRow to lastRow inclusive, each row column by column.
void emptyRows(ColumnList columns, int firstRow, int lastRow);

// Takes `row` out of the `count` records held: the later rows move up one,
// the row after the records included, and row `count` is emptied.
void removeRow(ColumnList columns, int row, int count);

// The texts of one row, in column order, for writing.
std::vector<std::string_view> rowFields(ColumnList columns, int row);

}  // namespace storage
