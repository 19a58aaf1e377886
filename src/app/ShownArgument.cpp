#include "app/ShownArgument.h"

namespace {

void appendEscaped(std::string& out, unsigned char byte) {
    static const char HEX[] = "0123456789abcdef";
    out += "\\x";
    out += HEX[byte >> 4];
    out += HEX[byte & 15];
}

struct Utf8Form {
    unsigned char firstLead, lastLead;
    std::size_t length;
    char32_t lowest;  // below it, the form is an overlong one
    unsigned char leadBits;
};
constexpr Utf8Form UTF8_FORMS[] = {{0xC2, 0xDF, 2, 0x80, 0x1F}, {0xE0, 0xEF, 3, 0x800, 0x0F}, {0xF0, 0xF4, 4, 0x10000, 0x07}};

// The length of the well-formed UTF-8 character at the start of text (no
// overlong form, no surrogate, nothing above U+10FFFF), 0 when there is none.
std::size_t utf8Length(std::string_view text, char32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const Utf8Form* form = nullptr;
    for (const Utf8Form& candidate : UTF8_FORMS)
        if (lead >= candidate.firstLead && lead <= candidate.lastLead) form = &candidate;
    if (form == nullptr) return 0;
    const std::size_t length = form->length;
    const char32_t lowest = form->lowest;
    codePoint = lead & form->leadBits;
    if (text.size() < length) return 0;
    for (std::size_t index = 1; index < length; ++index) {
        const auto next = static_cast<unsigned char>(text[index]);
        if ((next & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < lowest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
    return length;
}

bool isC1(char32_t character) { return character >= 0x80 && character <= 0x9F; }

}  // namespace

std::string shownArgument(std::string_view argument, const TextCharset& charset) {
    std::string out;
    for (std::size_t index = 0; index < argument.size(); ++index) {
        const auto byte = static_cast<unsigned char>(argument[index]);
        if (byte == '\\') {
            out += "\\\\";
        } else if (byte < 0x20 || byte == 0x7F) {
            appendEscaped(out, byte);
        } else if (byte < 0x80) {
            out += static_cast<char>(byte);
        } else if (!charset.utf8) {
            if (isC1(byte) || !charset.holdsByte[byte]) appendEscaped(out, byte);
            else out += static_cast<char>(byte);
        } else {
            char32_t character = 0;
            const std::size_t length = utf8Length(argument.substr(index), character);
            if (length == 0) {
                appendEscaped(out, byte);
                continue;
            }
            for (std::size_t part = 0; part < length; ++part) {
                if (isC1(character)) appendEscaped(out, static_cast<unsigned char>(argument[index + part]));
                else out += argument[index + part];
            }
            index += length - 1;
        }
    }
    return out;
}
