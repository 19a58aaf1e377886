#include "console/PlainForm.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "console/Cp850.h"

namespace {

// Latin Extended-A (U+0100..U+017F) without accents, one entry a code
// point, separated by '|'; an empty entry where the code page has it.
constexpr std::string_view kLatinExtendedA =
    "A|a|A|a|A|a|C|c|C|c|C|c|C|c|D|d|"
    "D|d|E|e|E|e|E|e|E|e|E|e|G|g|G|g|"
    "G|g|G|g|H|h|H|h|I|i|I|i|I|i|I|i|"
    "I||IJ|ij|J|j|K|k|q|L|l|L|l|L|l|L|"
    "l|L|l|N|n|N|n|N|n|'n|N|n|O|o|O|o|"
    "O|o|OE|oe|R|r|R|r|R|r|S|s|S|s|S|s|"
    "S|s|T|t|T|t|T|t|U|u|U|u|U|u|U|u|"
    "U|u|U|u|W|w|Y|y|Y|Z|z|Z|z|Z|z|s";

struct PlainForm {
    char32_t codePoint;
    std::string_view text;
};

// Sorted by code point: punctuation, signs and letters outside Latin
// Extended-A, with the plain forms transliterating converters give them.
constexpr PlainForm kPlainForms[] = {
    {0x00A0, " "},  {0x01CD, "A"},   {0x01CE, "a"},  {0x01CF, "I"},   {0x01D0, "i"},  {0x01D1, "O"},
    {0x01D2, "o"},  {0x01D3, "U"},   {0x01D4, "u"},  {0x0218, "S"},   {0x0219, "s"},  {0x021A, "T"},
    {0x021B, "t"},  {0x02B9, "'"},   {0x02BA, "\""}, {0x02BB, "'"},   {0x02BC, "'"},  {0x02C6, "^"},
    {0x02DC, "~"},  {0x1E9E, "SS"},  {0x2010, "-"},  {0x2011, "-"},   {0x2012, "-"},  {0x2013, "-"},
    {0x2014, "-"},  {0x2015, "-"},   {0x2018, "'"},  {0x2019, "'"},   {0x201A, "'"},  {0x201B, "'"},
    {0x201C, "\""}, {0x201D, "\""},  {0x201E, "\""}, {0x201F, "\""},  {0x2020, "+"},  {0x2022, "o"},
    {0x2024, "."},  {0x2025, ".."},  {0x2026, "..."}, {0x2032, "'"},  {0x2033, "\""}, {0x2039, "<"},
    {0x203A, ">"},  {0x2044, "/"},   {0x20AC, "EUR"}, {0x2116, "No"}, {0x2122, "TM"}, {0x2212, "-"},
    {0xFB00, "ff"}, {0xFB01, "fi"},  {0xFB02, "fl"},
};
static_assert(std::is_sorted(std::begin(kPlainForms), std::end(kPlainForms),
                             [](const PlainForm& a, const PlainForm& b) { return a.codePoint < b.codePoint; }));

bool isSpace(char32_t codePoint) {
    return (codePoint >= 0x2000 && codePoint <= 0x200A) || codePoint == 0x202F || codePoint == 0x205F ||
           codePoint == 0x3000;
}

std::string_view latinExtendedA(char32_t codePoint) {
    std::size_t start = 0;
    for (char32_t skipped = 0x0100; skipped < codePoint; ++skipped) start = kLatinExtendedA.find('|', start) + 1;
    const std::size_t end = kLatinExtendedA.find('|', start);
    return kLatinExtendedA.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start);
}

}  // namespace

namespace cp850 {

std::string cp850ForCodePoint(char32_t codePoint) {
    const auto form = std::lower_bound(std::begin(kPlainForms), std::end(kPlainForms), codePoint,
                                       [](const PlainForm& entry, char32_t wanted) { return entry.codePoint < wanted; });
    if (form != std::end(kPlainForms) && form->codePoint == codePoint) return std::string(form->text);
    if (const int byte = fromUnicode(codePoint); byte >= 0) return std::string(1, static_cast<char>(byte));
    if (codePoint >= 0x0100 && codePoint <= 0x017F) return std::string(latinExtendedA(codePoint));
    if (isSpace(codePoint)) return " ";
    // Full-width forms of the ASCII characters, as East Asian input methods type them.
    if (codePoint >= 0xFF01 && codePoint <= 0xFF5E) return std::string(1, static_cast<char>(codePoint - 0xFEE0));
    return {};
}

}  // namespace cp850
