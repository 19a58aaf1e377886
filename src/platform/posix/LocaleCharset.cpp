#include "platform/posix/LocaleCharset.h"

#include <cctype>
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include "console/Cp850.h"
#include "platform/Platform.h"

namespace {

constexpr unsigned char LINE_CHARACTER = 0xC4;  // the box-drawing line of the separator
constexpr unsigned char SOFT_HYPHEN = 0xF0;     // drawn as a visible hyphen
constexpr char MISSING_CHARACTER[] = "?";

bool namesUtf8(const std::string& codeset) {
    std::string letters;
    for (char c : codeset)
        if (std::isalnum(static_cast<unsigned char>(c))) letters += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return letters == "UTF8";
}

// The codeset of the environment's locale; empty when it names none or is not installed.
std::string environmentCodeset() {
    const locale_t locale = ::newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) return {};
    std::string codeset = ::nl_langinfo_l(CODESET, locale);
    ::freelocale(locale);
    // The C and POSIX locales say ASCII without meaning it: their terminals speak UTF-8.
    if (codeset == "ANSI_X3.4-1968" || codeset == "ASCII") return {};
    return codeset;
}

// One conversion of a whole character; false when the target lacks it or the input is incomplete.
bool convert(iconv_t converter, const std::string& in, std::string& out) {
    ::iconv(converter, nullptr, nullptr, nullptr, nullptr);  // fresh shift state
    char* inPointer = const_cast<char*>(in.data());
    size_t inLeft = in.size();
    char buffer[16];
    char* outPointer = buffer;
    size_t outLeft = sizeof buffer;
    if (::iconv(converter, &inPointer, &inLeft, &outPointer, &outLeft) == static_cast<size_t>(-1) || inLeft != 0)
        return false;
    char* flushPointer = outPointer;  // a stateful set may end with a shift back
    if (::iconv(converter, nullptr, nullptr, &flushPointer, &outLeft) == static_cast<size_t>(-1)) return false;
    out.assign(buffer, flushPointer);
    return true;
}

}  // namespace

const LocaleCharset& LocaleCharset::ofEnvironment() {
    static const LocaleCharset charset(environmentCodeset());
    return charset;
}

LocaleCharset::LocaleCharset(const std::string& codeset) : utf8_(codeset.empty() || namesUtf8(codeset)) {
    for (int byte = 0; byte < 256; ++byte) cp850::appendGlyphUtf8(glyphs_[byte], static_cast<unsigned char>(byte));
    if (utf8_) return;
    buildGlyphs(codeset);
    buildTypedCharacters(codeset);
}

void LocaleCharset::buildGlyphs(const std::string& codeset) {
    const iconv_t converter = ::iconv_open(codeset.c_str(), "UTF-8");
    const bool usable = converter != reinterpret_cast<iconv_t>(-1);
    for (int byte = 0; byte < 256; ++byte) {
        std::string& glyph = glyphs_[byte];
        if (byte < 128 && byte >= 32 && byte != 127) continue;  // ASCII is the same in every set a terminal uses
        std::string converted;
        if (usable && convert(converter, glyph, converted))
            glyph = converted;
        else if (byte == LINE_CHARACTER || byte == SOFT_HYPHEN)
            glyph = "-";
        else
            glyph = MISSING_CHARACTER;
    }
    if (usable) ::iconv_close(converter);
}

void LocaleCharset::buildTypedCharacters(const std::string& codeset) {
    const iconv_t converter = ::iconv_open("UTF-32LE", codeset.c_str());
    if (converter == reinterpret_cast<iconv_t>(-1)) return;
    for (int byte = 0x80; byte < 256; ++byte) {
        std::string converted;
        // A byte that starts a longer character converts to nothing on its own: it stays 0.
        if (!convert(converter, std::string(1, static_cast<char>(byte)), converted) || converted.size() != 4) continue;
        char32_t codePoint = 0;
        for (int i = 3; i >= 0; --i) codePoint = (codePoint << 8) | static_cast<unsigned char>(converted[i]);
        typedCharacters_[byte] = codePoint;
    }
    ::iconv_close(converter);
}

namespace platform {

TextCharset textCharset() {
    const LocaleCharset& locale = LocaleCharset::ofEnvironment();
    TextCharset charset;
    charset.utf8 = locale.isUtf8();
    if (charset.utf8) return charset;
    charset.glyphs = &locale.glyphs();
    for (int byte = 0; byte < 256; ++byte)
        charset.holdsByte[byte] = byte < 0x80 || locale.typedCharacters()[byte] != 0;
    return charset;
}

}  // namespace platform
