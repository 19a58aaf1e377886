#pragma once
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/CsvLayout.h"

namespace storage {

class DataFile;

// Hands the file's bytes to `consume`, from its start, in chunks, as far as
// FILE_BYTES_SCANNED and while `consume` returns true; `scanned` counts the
// bytes handed over. False on a read error.
bool readWithinBound(DataFile& file, long long& scanned, const std::function<bool(std::string_view chunk)>& consume);

struct RecordScan {
    bool readOk = false;
    bool stoppedAtBound = false;  // the file goes on past FILE_BYTES_SCANNED
};

// Hands every record of an open data file, as far as FILE_BYTES_SCANNED, to
// `visit` as its fields (each cut to FIELD_BYTES_KEPT), one record at a time:
// a file of any length is looked through in bounded memory. Works on a file
// opened for an append too, under the append's lock.
RecordScan scanRecords(DataFile& file, const CsvLayout& layout,
                       const std::function<void(const std::vector<std::string>& fields)>& visit);

}  // namespace storage
