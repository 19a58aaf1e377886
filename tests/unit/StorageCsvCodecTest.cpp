#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "storage/CsvLineWriter.h"
#include "storage/CsvRecordReader.h"

namespace {

using Records = std::vector<std::vector<std::string>>;
constexpr storage::CsvLayout FOUR_WITH_TRAILING{4, true};
constexpr storage::CsvLayout THREE{3, false};

// Reads into a plain table, one row per kept record.
class TableReader {
public:
    TableReader(storage::CsvLayout layout, int keep)
        : columns(static_cast<std::size_t>(layout.columnCount)),
          reader(layout, keep, [this](std::size_t record, std::size_t column) -> std::string& {
              if (record >= table.size()) table.resize(record + 1, std::vector<std::string>(columns));
              return table[record][column];
          }) {}

    void feed(std::string_view bytes) { reader.feed(bytes); }

    Records finish() {
        reader.finish();
        table.resize(reader.keptRecordCount(), std::vector<std::string>(columns));
        return table;
    }

    long long notKept() const { return reader.recordsNotKept(); }

private:
    std::size_t columns;
    Records table;
    storage::CsvRecordReader reader;
};

Records readAtOnce(std::string_view bytes, storage::CsvLayout layout = THREE, int keep = 100) {
    TableReader reader(layout, keep);
    reader.feed(bytes);
    return reader.finish();
}

// The same bytes a byte at a time must give the same records: a CR LF or a
// quote may be split between two reads of the file.
Records read(std::string_view bytes, storage::CsvLayout layout = THREE) {
    TableReader reader(layout, 100);
    for (char byte : bytes) reader.feed(std::string_view(&byte, 1));
    Records records = readAtOnce(bytes, layout);
    EXPECT_EQ(reader.finish(), records) << "chunking changed the result";
    return records;
}

std::string line(std::initializer_list<std::string_view> fields, storage::CsvLayout layout = THREE) {
    std::vector<std::string_view> list(fields);
    std::string out;
    storage::appendCsvLine(list, layout, out);
    return out;
}

TEST(CsvReaderLines, CrLfAndBareLfEndALineButBareCrIsAByte) {
    EXPECT_EQ(read("a,b,c\r\nd,e,f\n"), (Records{{"a", "b", "c"}, {"d", "e", "f"}}));
    EXPECT_EQ(read("a\rb,c\r\r\n"), (Records{{"a\rb", "c\r", ""}}));
    EXPECT_EQ(read("x\r"), (Records{{"x\r", "", ""}}));
}

TEST(CsvReaderLines, EmptyLinesAreRecordsAndAnUnterminatedLastLineToo) {
    EXPECT_EQ(read("\r\n\n"), (Records{{"", "", ""}, {"", "", ""}}));
    EXPECT_EQ(read("a,b,c\r\nd,e"), (Records{{"a", "b", "c"}, {"d", "e", ""}}));
    EXPECT_EQ(read(""), Records{});
}

TEST(CsvReaderLines, MissingFieldsStayEmptyAndExtraFieldsAreDropped) {
    EXPECT_EQ(read("a\r\n"), (Records{{"a", "", ""}}));
    EXPECT_EQ(read("a,b,c,d,\"e,f\"\r\ng"), (Records{{"a", "b", "c"}, {"g", "", ""}}));
    EXPECT_EQ(read("a,b,c,d,\r\n", FOUR_WITH_TRAILING), (Records{{"a", "b", "c", "d"}}));
}

TEST(CsvReaderQuotes, QuotedFieldsHoldCommasAndDoubledQuotes) {
    EXPECT_EQ(read("\"Krieg, Frieden\",x,\"Er sagt \"\"Hallo\"\"\"\r\n"),
              (Records{{"Krieg, Frieden", "x", "Er sagt \"Hallo\""}}));
    EXPECT_EQ(read("\"\",\"\"\"\",\"a\"\r\n"), (Records{{"", "\"", "a"}}));
    EXPECT_EQ(read("x,\"a,b\""), (Records{{"x", "a,b", ""}}));
}

TEST(CsvReaderQuotes, AQuoteInsideAFieldIsAnOrdinaryByte) {
    EXPECT_EQ(read("ab\"c,d\"\r\n"), (Records{{"ab\"c", "d\"", ""}}));
}

TEST(CsvReaderQuotes, AQuoteNotClosedBeforeASeparatorReadsTheRestOfTheLinePlainly) {
    EXPECT_EQ(read("\"Best of\" Hits,b,\"c,d\"\r\n"), (Records{{"\"Best of\" Hits", "b", "\"c"}}));
    EXPECT_EQ(read("a,\"open, still\r\nnext,\"x\"\r\n"),
              (Records{{"a", "\"open", " still"}, {"next", "x", ""}}));
    EXPECT_EQ(read("\"ab\"\rc,d"), (Records{{"\"ab\"\rc", "d", ""}}));
    EXPECT_EQ(read("\"unterminated"), (Records{{"\"unterminated", "", ""}}));
}

TEST(CsvReaderLimits, RecordsBeyondTheLimitAreCountedNotKept) {
    TableReader reader(THREE, 2);
    reader.feed("a\r\nb\r\n\"c,\r\nd\r\ne");
    EXPECT_EQ(reader.finish(), (Records{{"a", "", ""}, {"b", "", ""}}));
    EXPECT_EQ(reader.notKept(), 3);
}

// Inputs built to make a careless reader quadratic; a ctest timeout catches
// one that is.
TEST(CsvReaderLimits, PathologicalInputsReadInLinearTime) {
    const std::size_t size = 8 * 1024 * 1024;
    EXPECT_EQ(readAtOnce(std::string(size, ','), FOUR_WITH_TRAILING).size(), 1u);
    EXPECT_EQ(readAtOnce(std::string(size, '"')).size(), 1u);
    std::string reopening;
    while (reopening.size() < size) reopening += "\"x\"y,";
    EXPECT_EQ(readAtOnce(reopening)[0][0], "\"x\"y");
    EXPECT_EQ(readAtOnce(std::string(size, '\n'), THREE, 1999).size(), 1999u);
}

TEST(CsvWriter, WritesPlainFieldsUnchangedAndQuotesOnlyCommasAndQuotes) {
    EXPECT_EQ(line({"Komoedie", "Der Fall", "The Case", "95"}, FOUR_WITH_TRAILING),
              "Komoedie,Der Fall,The Case,95,\r\n");
    EXPECT_EQ(line({"T", "", ""}), "T,,\r\n");
    EXPECT_EQ(line({"Krieg, Frieden", "a\"b", "\r"}), "\"Krieg, Frieden\",\"a\"\"b\",\r\r\n");
}

TEST(CsvWriter, EveryWrittenFieldReadsBackUnchanged) {
    const std::vector<std::string> awkward = {
        "", ",", "\"", "\"\"", "\"x\"", " \"a, b\" ", "\r", "a\r", "\rb", "\x81\xE1\xFF", std::string("\0x", 2)};
    for (const std::string& first : awkward) {
        for (const std::string& last : awkward) {
            std::string bytes = line({first, "mid", last}) + line({last, first, ""});
            EXPECT_EQ(read(bytes), (Records{{first, "mid", last}, {last, first, ""}})) << bytes;
        }
    }
}

}  // namespace
