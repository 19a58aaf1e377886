#include "library/DvdLibrary.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "storage/RecordScan.h"

using namespace library_record;

DvdLibrary::DvdLibrary() : RecordStore(TABLE) {}

int DvdLibrary::findTitleGerman(const std::string& title) { return findRecord(TITLE_GERMAN, title); }

storage::RecordCount DvdLibrary::copiesOf(const std::string& titleGerman) {
    return storage::countRecords(TABLE, TITLE_GERMAN, titleGerman);
}

storage::SaveResult DvdLibrary::replaceRecord(int record, const std::vector<bool>& typedColumns) {
    const storage::StoreFile::Match* found = lastSearch.matchOf(record);
    if (found == nullptr) return storage::SaveResult::Failed;
    std::vector<std::optional<std::string>> values(COLUMN_COUNT);
    for (std::size_t column = 0; column < values.size() && column < typedColumns.size(); ++column)
        if (typedColumns[column]) values[column] = fields[column][WORK_ROW];
    file.replaceFields(*found, values);
    return file.replace();
}

void DvdLibrary::setGenre(std::string text, int row) { fields[GENRE][row] = std::move(text); }
std::string DvdLibrary::getGenre(int row) const { return fields[GENRE][row]; }
void DvdLibrary::setTitleGerman(std::string text, int row) { fields[TITLE_GERMAN][row] = std::move(text); }
std::string DvdLibrary::getTitleGerman(int row) const { return fields[TITLE_GERMAN][row]; }
void DvdLibrary::setTitleEnglish(std::string text, int row) { fields[TITLE_ENGLISH][row] = std::move(text); }
std::string DvdLibrary::getTitleEnglish(int row) const { return fields[TITLE_ENGLISH][row]; }
void DvdLibrary::setLengthMinutes(std::string text, int row) { fields[LENGTH_MINUTES][row] = std::move(text); }
std::string DvdLibrary::getLengthMinutes(int row) const { return fields[LENGTH_MINUTES][row]; }

namespace {

bool isWhiteSpace(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r';
}

bool isDigit(char byte) { return byte >= '0' && byte <= '9'; }

}  // namespace

// Refuses -1 as well: that value has always stood for "no number read", and
// running times are accepted exactly as they always were.
std::optional<int> DvdLibrary::lengthInMinutes(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isWhiteSpace(text[pos])) ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size() || !isDigit(text[pos])) return std::nullopt;
    constexpr std::int64_t beyondRange = std::int64_t{1} << 32;
    std::int64_t magnitude = 0;
    for (; pos < text.size() && isDigit(text[pos]); ++pos) {
        if (magnitude < beyondRange) magnitude = magnitude * 10 + (text[pos] - '0');
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value < INT32_MIN || value > INT32_MAX || value == -1) return std::nullopt;
    return static_cast<int>(value);
}

bool DvdLibrary::isValidLength(std::string text) const { return lengthInMinutes(text).has_value(); }

namespace {

constexpr int FIRST_FILM_YEAR = 1888;

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char byte) { return isDigit(byte); });
}

// EAN-8, UPC-A or EAN-13, its check digit not yet looked at.
bool hasBarcodeShape(std::string_view text) {
    return (text.size() == 8 || text.size() == 12 || text.size() == 13) && allDigits(text);
}

}  // namespace

bool DvdLibrary::isValidYear(std::string_view text, int nextYear) {
    if (text.empty()) return true;
    if (text.size() != 4 || !allDigits(text)) return false;
    const int year = std::stoi(std::string(text));
    return year >= FIRST_FILM_YEAR && year <= nextYear;
}

bool DvdLibrary::isValidEan(std::string_view text) {
    if (text.empty()) return true;
    if (!hasBarcodeShape(text)) return false;
    // From the digit before the check digit leftwards, weighed 3, 1, 3, ...
    int sum = 0;
    for (std::size_t fromRight = 1; fromRight < text.size(); ++fromRight)
        sum += (text[text.size() - 1 - fromRight] - '0') * (fromRight % 2 == 1 ? 3 : 1);
    return (10 - sum % 10) % 10 == text.back() - '0';
}

std::optional<std::string> DvdLibrary::titleOfBarcode(std::string_view typed) {
    if (!hasBarcodeShape(typed)) return std::nullopt;
    bool isTitle = false;
    std::optional<std::string> title;
    const storage::FileRead read = storage::readRecords(TABLE, [&](const std::vector<std::string>& fields) {
        isTitle = isTitle || fields[TITLE_GERMAN] == typed;
        if (!title && fields[EAN] == typed) title = fields[TITLE_GERMAN];
    });
    if (!read.ok() || isTitle) return std::nullopt;
    return title;
}
