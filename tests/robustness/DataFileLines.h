#pragma once
#include <string>
#include <string_view>
#include <vector>

// The two data files as the robustness tests see them: lines that end in
// CR LF, each a fixed number of fields, written the one way the program
// writes them (a field is quoted only when it holds a comma or a quote).
namespace robustness {

struct LineLayout {
    int fieldCount;
    bool separatorAfterLastField;
};
inline constexpr LineLayout LIBRARY_LINES{4, true};
inline constexpr LineLayout RENTAL_LINES{3, false};
inline constexpr const char* LIBRARY_FILE = "DVDBibliothek.csv";
inline constexpr const char* RENTAL_FILE = "DVDVerleih.csv";

using Record = std::vector<std::string>;

std::string encodeLine(const Record& fields, const LineLayout& layout);  // with CR LF
std::string encodeFile(const std::vector<Record>& records, const LineLayout& layout);

// Splits a file into its lines (without CR LF). Returns what is wrong with
// the file, or an empty text: a last line without CR LF, a stray CR or LF, a
// line of another field count, a field with a control byte, a line not in the
// program's own form.
std::string splitDataFile(std::string_view bytes, const LineLayout& layout, std::vector<std::string>& lines);

enum class LineChange { None, OneAppended, OneRemoved, Other };
LineChange classifyChange(const std::vector<std::string>& before, const std::vector<std::string>& after);
const char* describe(LineChange change);

std::string readWholeFile(const std::string& path);  // empty when missing
// Bytes as text a person can read in a failure message: controls and bytes
// above 126 as \xNN, cut after `limit` bytes.
std::string printable(std::string_view bytes, std::size_t limit = 400);

}  // namespace robustness
