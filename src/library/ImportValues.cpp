#include "library/ImportValues.h"

#include <string_view>

#include "library/DvdLibrary.h"

namespace import_file {
namespace {

constexpr std::array<std::string_view, FIELD_COUNT> FIELD_LABELS{"Film Art", "Titel in Deutsch",
                                                                 "Titel in Englisch", "Laenge"};

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool allDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The form's check lives with the library; one instance serves every line.
const DvdLibrary& lengthRules() {
    static const DvdLibrary library;
    return library;
}

}  // namespace

std::string lengthAsMinutes(const std::string& text) {
    const std::string value = trimmed(text);
    const std::size_t digitsEnd = value.find_first_not_of("0123456789");
    if (digitsEnd == 0 || digitsEnd == std::string::npos) return value;
    const std::string digits = value.substr(0, digitsEnd);
    const std::string_view rest = std::string_view(value).substr(digitsEnd);
    if (rest.size() == 3 && rest[0] == ':' && allDigits(rest.substr(1)) && rest[1] < '6' && digits.size() <= 3)
        return std::to_string(std::stoi(digits) * 60 + std::stoi(std::string(rest.substr(1))));
    const std::string unit = trimmed(std::string(rest));
    for (const std::string_view known : {"min", "min.", "Min", "Min.", "Minuten", "mins", "m"})
        if (unit == known) return digits;
    return value;
}

TakenRecord takeRecord(const std::vector<std::string>& fields, const ColumnMap& map, Encoding encoding) {
    TakenRecord taken;
    for (std::size_t field = 0; field < FIELD_COUNT; ++field) {
        const int column = map.columnOf[field];
        if (column < 0 || static_cast<std::size_t>(column) >= fields.size()) continue;
        std::string value = trimmed(toCp850(fields[static_cast<std::size_t>(column)], encoding));
        if (field == static_cast<std::size_t>(Field::Genre) && map.genreIsList) value = trimmed(value.substr(0, value.find(',')));
        if (field == static_cast<std::size_t>(Field::Length)) value = lengthAsMinutes(value);
        taken.values[field] = std::move(value);
    }
    std::string& length = taken.values[static_cast<std::size_t>(Field::Length)];
    if (taken.values[static_cast<std::size_t>(Field::TitleGerman)].empty()) {
        taken.refusal = "kein Titel in Deutsch";
    } else if (length.size() > FIELD_LENGTHS[static_cast<std::size_t>(Field::Length)] ||
               !lengthRules().isValidLength(length)) {
        // A number is not cut: the form takes no more digits than its field.
        taken.refusal = "Laenge '" + length + "' ist keine Laenge in Minuten";
    }
    if (!taken.refusal.empty()) return taken;
    for (std::size_t field = 0; field < FIELD_COUNT; ++field) {
        if (taken.values[field].size() <= FIELD_LENGTHS[field]) continue;
        taken.values[field].resize(FIELD_LENGTHS[field]);
        taken.notes.push_back(std::string(FIELD_LABELS[field]) + " auf " + std::to_string(FIELD_LENGTHS[field]) +
                              " Zeichen gekuerzt");
    }
    return taken;
}

}  // namespace import_file
