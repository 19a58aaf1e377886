#pragma once
#include <vector>

#include "../DataFileLines.h"

// The working directory every key stream starts from: both files present,
// with titles that need quoting, bytes above 127, a duplicate and a lending
// of a title the library no longer has.
namespace robustness {

const std::vector<Record>& fuzzLibraryRecords();
const std::vector<Record>& fuzzRentalRecords();
// The same library filled up to what a store holds, so that
// entries run into the limit and later rewrites must refuse.
const std::vector<Record>& fullLibraryRecords();

}  // namespace robustness
