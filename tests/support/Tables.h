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

// A run of the program in tests/cases/command-line.txt: one line, its fields
// split at " | " (the table's header explains them), as written.
struct CommandLineRow {
    std::string name, arguments, environment, run, keys, exit, output, errors;
    int line;
};
std::vector<CommandLineRow> readCommandLineTable(const std::string& path);
// Words split at blanks, C escapes read; "-" alone stands for none.
std::vector<std::string> words(const std::string& text);
// Whether `actual` is what an expected text of that table says: "-" anything,
// "=" nothing, "=TEXT" exactly TEXT and a line end, else TEXT somewhere; " ... "
// in TEXT stands for anything, the parts in their order.
bool meets(const std::string& expected, const std::string& actual);

}  // namespace tables
