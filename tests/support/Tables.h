#pragma once
#include <string>
#include <vector>

// Test tables kept as data in tests/unit/tables: one row a line, "LEFT => RIGHT"
// ('#' starts a comment line), bytes written with C escapes.
namespace tables {

struct Row {
    std::string left;
    std::string right;
    int line;
};

std::vector<Row> read(const std::string& name);
// \xNN, \r, \n, \t, \e (Escape), \0, \s (a space), \\ and X*N (X repeated N times, up to a blank).
std::string unescape(const std::string& text);
// The bytes readable again: control bytes and bytes above 127 as \xNN.
std::string escape(const std::string& bytes);

}  // namespace tables
