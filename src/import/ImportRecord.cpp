#include "import/ImportRecord.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "console/PlainForm.h"
#include "console/TextFolding.h"
#include "library/DvdLibrary.h"
#include "storage/StoreLimits.h"

namespace import_file {
namespace {

bool namesGenreList(std::u32string_view name) { return foldedName(name) == "genres" || foldedName(name) == "genre"; }

}  // namespace

std::string foldedName(std::u32string_view name) {
    std::string cp850Name;
    for (const char32_t codePoint : name) cp850Name += cp850::cp850ForCodePoint(codePoint);
    const std::string folded = folding::fold(cp850Name).base;
    const std::size_t first = folded.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return folded.substr(first, folded.find_last_not_of(" \t") - first + 1);
}

std::optional<Column> fieldNamed(std::u32string_view name) {
    const std::string folded = foldedName(name);
    for (int field = 0; field < library_record::COLUMN_COUNT; ++field)
        for (const std::string_view known : library_record::FIELDS[field].importNames)
            if (known == folded) return static_cast<Column>(field);
    return std::nullopt;
}

bool isHeader(const std::vector<std::u32string>& firstLine) {
    return std::any_of(firstLine.begin(), firstLine.end(),
                       [](const std::u32string& name) { return fieldNamed(name).has_value(); });
}

ColumnMap mapHeader(const std::vector<std::u32string>& header) {
    ColumnMap map;
    for (std::size_t column = 0; column < header.size(); ++column) {
        const std::optional<Column> field = fieldNamed(header[column]);
        if (!field || map.columnOf[*field] != ColumnMap::NONE) {
            map.ignored.push_back(column);
            continue;
        }
        map.columnOf[*field] = static_cast<int>(column);
        if (*field == library_record::GENRE) map.genreIsList = namesGenreList(header[column]);
    }
    return map;
}

ColumnMap programOrder(std::size_t columnCount) {
    ColumnMap map;
    for (std::size_t column = 0; column < columnCount; ++column) {
        if (column < FIELD_COUNT) map.columnOf[column] = static_cast<int>(column);
        else map.ignored.push_back(column);
    }
    return map;
}

namespace {

// A running time takes no more digits than the form's field.
constexpr auto LENGTH_DIGITS = static_cast<std::size_t>(library_record::FIELDS[library_record::LENGTH_MINUTES].length);
// Longer values would be cut where the library is read.
constexpr auto VALUE_BYTES = static_cast<std::size_t>(FIELD_BYTES_KEPT);

// Hours and minutes longer than this are no running time of a DVD, and
// stay far from any overflow.
constexpr std::size_t MOST_DIGITS = 4;
constexpr long SECONDS_ROUNDED_UP = 30;

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

long numberOf(std::string_view digits) {
    long number = 0;
    for (const char digit : digits) number = number * 10 + (digit - '0');
    return number;
}

// "H:MM" or "H:MM:SS", as a time cell of a spreadsheet writes it; seconds
// round to the nearest minute.
std::optional<long> clockMinutes(std::string_view text) {
    const std::size_t first = text.find(':');
    const std::size_t second = text.find(':', first + 1);
    const std::string_view hours = text.substr(0, first);
    const std::string_view minutes = text.substr(first + 1, second == std::string_view::npos ? second : second - first - 1);
    const std::string_view seconds = second == std::string_view::npos ? "00" : text.substr(second + 1);
    for (const std::string_view part : {minutes, seconds})
        if (part.size() != 2 || !allDigits(part) || part[0] > '5') return std::nullopt;
    if (!allDigits(hours) || hours.size() > MOST_DIGITS) return std::nullopt;
    return numberOf(hours) * 60 + numberOf(minutes) + (numberOf(seconds) >= SECONDS_ROUNDED_UP ? 1 : 0);
}

// "105,0" or "105.0", as a number cell writes it; rounded to whole minutes.
std::optional<long> decimalMinutes(std::string_view text) {
    const std::size_t point = text.find_first_of(".,");
    if (point == std::string_view::npos) return std::nullopt;
    const std::string_view whole = text.substr(0, point), fraction = text.substr(point + 1);
    if (!allDigits(whole) || whole.size() > MOST_DIGITS || !allDigits(fraction)) return std::nullopt;
    return numberOf(whole) + (fraction[0] >= '5' ? 1 : 0);
}

std::string lowerCase(std::string_view text) {
    std::string lower(text);
    for (char& byte : lower)
        if (byte >= 'A' && byte <= 'Z') byte = static_cast<char>(byte - 'A' + 'a');
    return lower;
}

// "1 Std. 45 Min.", "1h 30m", "142 min": hours, then minutes, either left out.
std::optional<long> minutesWithUnits(std::string_view text) {
    constexpr std::string_view HOURS[] = {"h", "std", "std.", "stunde", "stunden"};
    constexpr std::string_view MINUTES[] = {"m", "min", "min.", "mins", "minute", "minuten"};
    long total = 0;
    bool hoursAllowed = true, anyPart = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t unitStart = text.find_first_not_of("0123456789", at);
        const std::string_view digits = text.substr(at, unitStart - at);
        if (digits.empty() || digits.size() > MOST_DIGITS || unitStart == std::string_view::npos) return std::nullopt;
        const std::size_t letters = text.find_first_not_of(' ', unitStart);
        if (letters == std::string_view::npos) return std::nullopt;
        const std::size_t unitEnd = std::min(text.find_first_of(" 0123456789", letters), text.size());
        const std::string unit = lowerCase(text.substr(letters, unitEnd - letters));
        const auto names = [&unit](const auto& units) {
            for (const std::string_view name : units)
                if (unit == name) return true;
            return false;
        };
        if (hoursAllowed && names(HOURS)) total += numberOf(digits) * 60;
        else if (names(MINUTES)) total += numberOf(digits);
        else return std::nullopt;
        hoursAllowed = false;
        anyPart = true;
        at = std::min(text.find_first_not_of(' ', unitEnd), text.size());
    }
    return anyPart ? std::optional<long>(total) : std::nullopt;
}

// A number as the form takes it, and nothing after it.
bool isWholeNumber(std::string_view text) {
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) text.remove_prefix(1);
    return allDigits(text);
}

}  // namespace

std::optional<std::string> lengthAsMinutes(const std::string& text) {
    const std::string value = trimmed(text);
    if (value.find(':') != std::string::npos) {
        const std::optional<long> minutes = clockMinutes(value);
        return minutes ? std::optional<std::string>(std::to_string(*minutes)) : std::nullopt;
    }
    for (const auto& reading : {decimalMinutes, minutesWithUnits})
        if (const std::optional<long> minutes = reading(value)) return std::to_string(*minutes);
    return value;
}

namespace {

// A year or a barcode that fails the form's check: left out, the record kept.
void dropUnchecked(TakenRecord& taken, int nextYear) {
    const auto drop = [&taken](Column field, const char* what) {
        taken.notes.push_back(std::string(library_record::FIELDS[field].name) + " '" + taken.values[field] + "' ist " +
                              what + ", leer gelassen");
        taken.values[field].clear();
    };
    if (!DvdLibrary::isValidYear(taken.values[library_record::YEAR], nextYear)) drop(library_record::YEAR, "kein Jahr");
    if (!DvdLibrary::isValidEan(taken.values[library_record::EAN])) drop(library_record::EAN, "keine EAN");
}

}  // namespace

TakenRecord takeRecord(const std::vector<std::string>& fields, const ColumnMap& map, Encoding encoding, int nextYear) {
    TakenRecord taken;
    std::string lengthAsWritten;
    bool lengthRead = true;
    for (std::size_t field = 0; field < FIELD_COUNT; ++field) {
        const int column = map.columnOf[field];
        if (column < 0 || static_cast<std::size_t>(column) >= fields.size()) continue;
        std::string value = trimmed(toCp850(fields[static_cast<std::size_t>(column)], encoding));
        if (field == library_record::GENRE && map.genreIsList) value = trimmed(value.substr(0, value.find(',')));
        if (field == library_record::LENGTH_MINUTES) {
            lengthAsWritten = value;
            const std::optional<std::string> minutes = lengthAsMinutes(value);
            lengthRead = minutes.has_value();
            value = minutes.value_or(value);
        }
        taken.values[field] = std::move(value);
    }
    const std::string& length = taken.values[library_record::LENGTH_MINUTES];
    if (taken.values[library_record::TITLE_GERMAN].empty()) {
        taken.refusal = "kein Titel in Deutsch";
    } else if (length.empty()) {
        taken.withoutLength = true;
    } else if (!lengthRead || length.size() > LENGTH_DIGITS ||
               !isWholeNumber(length) || !DvdLibrary::lengthInMinutes(length)) {
        // A number is not cut: the form takes no more digits than its field.
        taken.refusal = "Laenge '" + lengthAsWritten + "' ist keine Laenge in Minuten";
    }
    if (!taken.refusal.empty()) return taken;
    dropUnchecked(taken, nextYear);
    for (std::size_t field = 0; field < FIELD_COUNT; ++field) {
        if (taken.values[field].size() <= VALUE_BYTES) continue;
        taken.values[field].resize(VALUE_BYTES);
        taken.notes.push_back(std::string(library_record::FIELDS[field].name) + " auf " + std::to_string(VALUE_BYTES) +
                              " Zeichen gekuerzt");
    }
    return taken;
}

}  // namespace import_file
