#pragma once

namespace storage {

// The shape of one line of a data file.
struct CsvLayout {
    int columnCount = 0;
    // The library file ends every line with a separator, the rental file not.
    bool separatorAfterLastField = false;
};

}  // namespace storage
