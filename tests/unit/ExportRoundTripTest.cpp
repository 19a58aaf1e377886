#include <gtest/gtest.h>

#include <random>

#include "import/ImportPlan.h"
#include "import/SpreadsheetExport.h"
#include "library/LibraryRecord.h"
#include "storage/Csv.h"
#include "storage/StoreLimits.h"

// A library exported as a spreadsheet and imported again into an empty one
// is the same records, byte for byte: generated records with umlauts,
// separators, quotes, values as long as a field is read and empty fields.
namespace {

constexpr int NEXT_YEAR = 2027;
constexpr int ROUNDS = 40;

struct Generator {
    std::mt19937 random{20261208};
    int below(int bound) { return std::uniform_int_distribution<int>(0, bound - 1)(random); }

    // Any byte a form stores (not the non-breaking space, 0xFF: typed, it is
    // a blank), a blank at neither end (the import trims them).
    std::string text(std::size_t mostBytes) {
        static const std::string special = ",;\"'\x84\x94\x81\x8e\x99\x9a\xe1\x80\xfe";
        const std::size_t length = below(4) == 0 ? mostBytes : static_cast<std::size_t>(below(40));
        std::string value;
        while (value.size() < length) {
            const int kind = below(4);
            value += kind == 0 ? special[below(static_cast<int>(special.size()))]
                     : kind == 1 ? static_cast<char>(0x80 + below(0x80))
                                 : static_cast<char>(0x20 + below(0x5F));
            if (value.back() == '\xff' || value.front() == ' ') value.back() = 'x';
        }
        if (!value.empty() && value.back() == ' ') value.back() = 'y';
        return value;
    }
    std::string digits(int count) {
        std::string value;
        for (int index = 0; index < count; ++index) value += static_cast<char>('0' + below(10));
        return value;
    }
    std::string ean() {
        std::string value = digits(12);
        int sum = 0;
        for (std::size_t fromRight = 1; fromRight <= value.size(); ++fromRight)
            sum += (value[value.size() - fromRight] - '0') * (fromRight % 2 == 1 ? 3 : 1);
        return value + static_cast<char>('0' + (10 - sum % 10) % 10);
    }
    std::vector<std::string> record(int number) {
        using namespace library_record;
        std::vector<std::string> fields(COLUMN_COUNT);
        const bool empty = below(3) == 0;  // some fields empty, often all the later ones
        for (const Column column : {GENRE, TITLE_ENGLISH, FORMAT, LOCATION, NOTE})
            if (!empty || column < YEAR) fields[column] = below(3) == 0 ? "" : text(FIELD_BYTES_KEPT);
        // Titles that differ, lest the import take one for a copy of another.
        fields[TITLE_GERMAN] = std::to_string(number) + text(FIELD_BYTES_KEPT - 8);
        if (below(4) != 0) fields[LENGTH_MINUTES] = std::to_string(below(1000));
        if (!empty && below(2) == 0) fields[YEAR] = std::to_string(1888 + below(NEXT_YEAR - 1888 + 1));
        if (!empty && below(2) == 0) fields[EAN] = ean();
        return fields;
    }
};

TEST(Export, RoundTrip) {
    Generator generate;
    for (int round = 0; round < ROUNDS; ++round) {
        std::string exported = spreadsheet::header(library_record::TABLE), stored;
        for (int number = 0; number <= round; ++number) {
            const std::vector<std::string> fields = generate.record(number);
            spreadsheet::appendRow(fields, exported);
            const std::vector<std::string_view> views(fields.begin(), fields.end());
            storage::appendCsvLine(views, library_record::TABLE.line, stored);
        }
        const import_file::ImportPlan plan = import_file::planImport(exported, std::nullopt, NEXT_YEAR, {});
        ASSERT_EQ(plan.refused.size(), 0u) << plan.refused[0].reason;
        ASSERT_EQ(plan.notes.size(), 0u) << plan.notes[0].reason;
        ASSERT_EQ(plan.newLines.lines, stored) << "round " << round;
    }
}

}  // namespace
