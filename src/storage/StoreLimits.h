#pragma once

// Rows of every column of both stores. One row more than the records a store
// can hold, because clearing also empties the row after the last record.
constexpr int MAX_RECORDS = 2000;

// What a load keeps of each field: far above any title, so that a file of
// any shape is held in bounded memory. The file itself keeps every byte.
constexpr int FIELD_BYTES_KEPT = 1024;

// A load reads no further than this into a file (32 MiB: some 150 times the
// largest store of ordinary records); what lies beyond is reported, not read.
constexpr long long FILE_BYTES_SCANNED = 32LL * 1024 * 1024;
