#include <gtest/gtest.h>

#include "import/ImportInput.h"
#include "import/ImportRecord.h"
#include "support/Tables.h"

// Reading a file from elsewhere, against tables/import.txt.
namespace {

using namespace import_file;
constexpr int NEXT_YEAR = 2027;

// "name|name|..." as the header's code points (the names in UTF-8).
std::vector<std::u32string> names(const std::string& text) {
    std::vector<std::u32string> list;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = text.find('|', start);
        list.push_back(toCodePoints(text.substr(start, end - start), Encoding::Utf8));
    }
    return list;
}

std::string describe(const ColumnMap& map) {
    std::string text;
    for (std::size_t field = 0; field < FIELD_COUNT; ++field)
        text += (field ? " " : "") + std::to_string(map.columnOf[field]);
    text += " ignored";
    for (const std::size_t column : map.ignored) text += " " + std::to_string(column);
    return text + (map.genreIsList ? " list" : "");
}

std::string records(const std::string& bytes, char separator) {
    std::string text;
    const auto unclosed = forEachRecord(bytes, separator, [&](const std::vector<std::string>& fields, long line) {
        text += (text.empty() ? "" : " / ") + std::to_string(line) + ":";
        for (std::size_t index = 0; index < fields.size(); ++index) text += (index ? "|" : "") + fields[index];
        return true;
    });
    if (unclosed)
        text += (text.empty() ? "" : " / ") + ("unclosed " + std::to_string(unclosed->recordLine) + " " +
                                               std::to_string(unclosed->quoteLine) + " " + std::to_string(unclosed->lastLine));
    return text;
}

std::string taken(const std::string& operand) {
    std::vector<std::string> fields;
    for (std::size_t start = 0, end = 0; end != std::string::npos; start = end + 1) {
        end = operand.find('|', start);
        fields.push_back(operand.substr(start, end - start));
    }
    const TakenRecord record = takeRecord(fields, programOrder(fields.size()), Encoding::Utf8, NEXT_YEAR);
    if (!record.refusal.empty()) return "refused: " + record.refusal;
    std::string text = record.values[0];
    // The later fields up to the last one set.
    std::size_t shown = FIELD_COUNT;
    while (shown > library_record::PLAIN_COLUMN_COUNT && record.values[shown - 1].empty()) --shown;
    for (std::size_t field = 1; field < shown; ++field) text += "|" + record.values[field];
    for (const std::string& note : record.notes) text += " (" + note + ")";
    if (record.withoutLength) text += " (ohne Laenge)";
    return text;
}

TEST(Import, Table) {
    for (const tables::Row& row : tables::read("import.txt")) {
        SCOPED_TRACE("import.txt:" + std::to_string(row.line));
        const auto blank = row.left.find(' ');
        const std::string command = row.left.substr(0, blank);
        const std::string operand = tables::unescape(blank == std::string::npos ? "" : row.left.substr(blank + 1));
        std::string actual;
        if (command == "encoding") actual = nameOf(detectEncoding(operand));
        else if (command == "not-utf8") actual = std::to_string(firstNonUtf8Byte(operand) == std::string::npos ? 0 : lineOfByte(operand, firstNonUtf8Byte(operand)));
        else if (command.starts_with("utf-16")) actual = utf16ToUtf8(operand, command == "utf-16be");
        else if (command == "separator") actual = tables::escape(std::string(1, detectSeparator(operand)));
        else if (command == "split,") actual = records(operand, ',');
        else if (command == "split;") actual = records(operand, ';');
        else if (command.starts_with("decode-")) actual = toCp850(operand, *encodingNamed(command.substr(7)));
        else if (command == "header") actual = isHeader(names(operand)) ? describe(mapHeader(names(operand))) : "no header";
        else if (command == "minutes") actual = lengthAsMinutes(operand).value_or("refused");
        else if (command == "take") actual = taken(operand);
        else FAIL() << "unknown command " << command;
        EXPECT_EQ(tables::escape(actual), tables::escape(tables::unescape(row.right)));
    }
}

}  // namespace
