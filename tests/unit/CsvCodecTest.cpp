#include <gtest/gtest.h>

#include "storage/Csv.h"
#include "storage/StoreLimits.h"
#include "support/Tables.h"

// The CSV lines of the data files, against tables/csv.txt.
namespace {

using Records = std::vector<std::vector<std::string>>;

// "read3", "count4:1999": the layout by its field count, the records kept (100 unless given).
storage::CsvLayout layoutOf(const std::string& command) {
    return command.find('4') != std::string::npos ? storage::CsvLayout{4, true} : storage::CsvLayout{3, false};
}
int keptOf(const std::string& command) {
    const auto colon = command.find(':');
    return colon == std::string::npos ? 100 : std::stoi(command.substr(colon + 1));
}

// The bytes fed in reads of `chunk` bytes (0: all at once).
Records read(std::string_view bytes, storage::CsvLayout layout, std::size_t chunk = 0, int keep = 100,
             long long* notKept = nullptr) {
    Records table;
    const auto columns = static_cast<std::size_t>(layout.columnCount);
    storage::CsvRecordReader reader(layout, keep, [&](std::size_t record, std::size_t column) -> std::string& {
        if (record >= table.size()) table.resize(record + 1, std::vector<std::string>(columns));
        return table[record][column];
    });
    for (std::size_t at = 0; at < bytes.size(); at += chunk ? chunk : bytes.size()) reader.feed(bytes.substr(at, chunk ? chunk : bytes.size()));
    reader.finish();
    table.resize(reader.keptRecordCount(), std::vector<std::string>(columns));
    if (notKept) *notKept = reader.recordsNotKept();
    return table;
}

// Where the fields of each record stand, read in chunks of `chunk` bytes
// with the stores' bound on a field's bytes.
std::string fieldPlaces(std::string_view bytes, storage::CsvLayout layout, std::size_t chunk) {
    std::string out;
    std::string scratch;
    storage::CsvRecordReader reader(
        layout, 100, [&](std::size_t, std::size_t) -> std::string& { return scratch; }, FIELD_BYTES_KEPT);
    reader.onLineDone([&](std::size_t record, const storage::CsvRecordReader::LineSpan&) {
        if (record > 0) out += " / ";
        std::string places;
        for (const auto& field : reader.fieldsOfLine())
            places += (places.empty() ? "" : "|") + std::to_string(field.start) + "-" + std::to_string(field.end);
        out += places + (reader.fieldsPlaced() ? "" : "|?");
    });
    for (std::size_t at = 0; at < bytes.size(); at += chunk) reader.feed(bytes.substr(at, chunk));
    reader.finish();
    return out;
}

std::string line(const std::vector<std::string>& fields, storage::CsvLayout layout) {
    std::vector<std::string_view> views(fields.begin(), fields.end());
    std::string out;
    storage::appendCsvLine(views, layout, out);
    return out;
}

std::string show(const Records& records) {
    std::string out;
    for (const auto& record : records) {
        if (!out.empty()) out += " / ";
        for (std::size_t i = 0; i < record.size(); ++i) out += (i ? "|" : "") + tables::escape(record[i]);
    }
    return out;
}

std::vector<std::string> split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    for (std::size_t start = 0;;) {
        const auto end = text.find(separator, start);
        parts.push_back(tables::unescape(text.substr(start, end - start)));
        if (end == std::string::npos) return parts;
        start = end + separator.size();
    }
}

TEST(CsvCodec, Table) {
    for (const tables::Row& row : tables::read("csv.txt")) {
        SCOPED_TRACE("csv.txt:" + std::to_string(row.line));
        const auto blank = row.left.find(' ');
        const std::string command = row.left.substr(0, blank);
        const std::string operand = blank == std::string::npos ? "" : row.left.substr(blank + 1);
        if (command.starts_with("read") || command.starts_with("count")) {
            const std::string bytes = tables::unescape(operand);
            long long notKept = 0;
            const Records records = read(bytes, layoutOf(command), 0, keptOf(command), &notKept);
            const std::string more = notKept ? " (+" + std::to_string(notKept) + ")" : "";
            if (command.starts_with("count")) {
                EXPECT_EQ(std::to_string(records.size()) + more, row.right);
                continue;
            }
            EXPECT_EQ(show(records) + more, tables::escape(tables::unescape(row.right)));
            // A CR LF or a quote may be split between two reads of the file.
            EXPECT_EQ(read(bytes, layoutOf(command), 1, keptOf(command)), records);
        } else if (command.rfind("spans", 0) == 0) {
            const std::string bytes = tables::unescape(operand);
            EXPECT_EQ(fieldPlaces(bytes, layoutOf(command), bytes.size() + 1), row.right);
            EXPECT_EQ(fieldPlaces(bytes, layoutOf(command), 1), row.right);
        } else {
            EXPECT_EQ(tables::escape(line(split(operand, "|"), layoutOf(command))), tables::escape(tables::unescape(row.right)));
        }
    }
}

TEST(CsvCodec, EveryWrittenFieldReadsBackUnchanged) {
    const std::vector<std::string> awkward = {
        "", ",", "\"", "\"\"", "\"x\"", " \"a, b\" ", "\x81\xE1\xFF", std::string("\0x", 2)};
    const storage::CsvLayout three{3, false};
    for (const std::string& first : awkward) {
        for (const std::string& last : awkward) {
            const std::string bytes = line({first, "mid", last}, three) + line({last, first, ""}, three);
            EXPECT_EQ(read(bytes, three), (Records{{first, "mid", last}, {last, first, ""}})) << tables::escape(bytes);
        }
    }
}

// A quote reopened again and again: a reader that rescans from the field's
// start is quadratic (a ctest timeout catches it); the table has the others.
TEST(CsvCodec, ReopenedQuotesReadInLinearTime) {
    std::string reopening;
    while (reopening.size() < 8 * 1024 * 1024) reopening += "\"x\"y,";
    EXPECT_EQ(read(reopening, {3, false})[0][0], "\"x\"y");
}

}  // namespace
