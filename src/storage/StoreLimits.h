#pragma once

// Rows of every column of both stores. One row more than the records a store
// can hold, because clearing also empties the row after the last record.
constexpr int MAX_RECORDS = 2000;

// The row in which a form assembles the one record it appends; not a record.
constexpr int WORK_ROW = 0;
