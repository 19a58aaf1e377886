#include "storage/StoreColumns.h"

namespace storage {

void emptyRows(ColumnList columns, int firstRow, int lastRow) {
    for (int row = firstRow; row <= lastRow; ++row) {
        for (StoreColumn* column : columns) (*column)[row].clear();
    }
}

void removeRow(ColumnList columns, int row, int count) {
    for (int i = row; i < count; ++i) {
        // Swapping keeps every string's capacity for the next load.
        for (StoreColumn* column : columns) (*column)[i].swap((*column)[i + 1]);
    }
    for (StoreColumn* column : columns) (*column)[count].clear();
}

std::vector<std::string_view> rowFields(ColumnList columns, int row) {
    std::vector<std::string_view> fields;
    fields.reserve(columns.size());
    for (StoreColumn* column : columns) fields.emplace_back((*column)[row]);
    return fields;
}

}  // namespace storage
