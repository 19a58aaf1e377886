#include "console/TextFolding.h"

#include <algorithm>
#include <array>
#include <iterator>

#include "console/Cp850.h"

namespace folding {

namespace {

using namespace std::string_view_literals;

constexpr char32_t FIRST_LATIN1_LETTER = 0xC0;
constexpr char32_t LAST_LATIN1_LETTER = 0xFF;
// The base letters of U+00C0..U+00FF, upper and lower case alike; '\0' where
// the character is no letter (multiplication and division sign).
constexpr std::string_view LATIN1_BASE_LETTERS = "aaaaaaeceeeeiiiidnooooo\0ouuuuyts"
                                                 "aaaaaaeceeeeiiiidnooooo\0ouuuuyty"sv;
constexpr char32_t CAPITAL_AE = 0xC6, SMALL_AE = 0xE6, SHARP_S = 0xDF, CAPITAL_THORN = 0xDE, SMALL_THORN = 0xFE;
constexpr char32_t DOTLESS_I = 0x131, F_WITH_HOOK = 0x192;
constexpr char32_t UMLAUTS[] = {0xC4, 0xE4, 0xD6, 0xF6, 0xDC, 0xFC};  // Ä ä Ö ö Ü ü

// What one code point folds to in the base form.
std::string baseOf(char32_t codePoint) {
    if (codePoint >= 'A' && codePoint <= 'Z') return std::string(1, static_cast<char>(codePoint - 'A' + 'a'));
    if (codePoint == CAPITAL_AE || codePoint == SMALL_AE) return "ae";
    if (codePoint == SHARP_S) return "ss";
    if (codePoint == CAPITAL_THORN || codePoint == SMALL_THORN) return "th";
    if (codePoint == DOTLESS_I) return "i";
    if (codePoint == F_WITH_HOOK) return "f";
    if (codePoint >= FIRST_LATIN1_LETTER && codePoint <= LAST_LATIN1_LETTER) {
        const char letter = LATIN1_BASE_LETTERS[codePoint - FIRST_LATIN1_LETTER];
        if (letter != '\0') return std::string(1, letter);
    }
    return {};  // not folded: the byte stays
}

struct FoldTables {
    std::array<std::string, 256> base;
    std::array<std::string, 256> german;
};

const FoldTables& tables() {
    static const FoldTables built = [] {
        FoldTables made;
        for (int byte = 0; byte < 256; ++byte) {
            const char32_t codePoint = cp850::toUnicode(static_cast<unsigned char>(byte));
            std::string folded = baseOf(codePoint);
            if (folded.empty()) folded = std::string(1, static_cast<char>(byte));
            made.base[static_cast<std::size_t>(byte)] = folded;
            const bool umlaut = std::find(std::begin(UMLAUTS), std::end(UMLAUTS), codePoint) != std::end(UMLAUTS);
            made.german[static_cast<std::size_t>(byte)] = umlaut ? folded + "e" : folded;
        }
        return made;
    }();
    return built;
}

// Whether the value folded by `table` begins with `start`, byte by byte.
bool foldedBeginsWith(const std::array<std::string, 256>& table, std::string_view value, std::string_view start) {
    std::size_t matched = 0;
    for (const char character : value) {
        if (matched == start.size()) break;
        const std::string& folded = table[static_cast<unsigned char>(character)];
        const std::size_t compared = std::min(folded.size(), start.size() - matched);
        if (start.compare(matched, compared, folded, 0, compared) != 0) return false;
        matched += compared;
    }
    return matched == start.size();
}

}  // namespace

FoldedText fold(std::string_view cp850Text) {
    const FoldTables& folds = tables();
    FoldedText folded;
    for (const char character : cp850Text) {
        const auto byte = static_cast<unsigned char>(character);
        folded.base += folds.base[byte];
        folded.german += folds.german[byte];
    }
    return folded;
}

bool occursIn(const FoldedText& typed, const FoldedText& value) {
    for (const std::string* needle : {&typed.base, &typed.german})
        for (const std::string* haystack : {&value.base, &value.german})
            if (haystack->find(*needle) != std::string::npos) return true;
    return false;
}

bool beginsWith(const FoldedText& typed, std::string_view cp850Value) {
    const FoldTables& folds = tables();
    for (const std::string* start : {&typed.base, &typed.german})
        for (const std::array<std::string, 256>* table : {&folds.base, &folds.german})
            if (foldedBeginsWith(*table, cp850Value, *start)) return true;
    return false;
}

}  // namespace folding
