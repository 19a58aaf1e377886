#include "Screen.h"

#include <vterm.h>

#include <stdexcept>
#include <utility>

namespace {

int paletteIndex(const VTermColor& colour, bool foreground) {
    if (foreground ? VTERM_COLOR_IS_DEFAULT_FG(&colour) : VTERM_COLOR_IS_DEFAULT_BG(&colour))
        return Screen::kDefaultColour;
    return VTERM_COLOR_IS_INDEXED(&colour) ? colour.indexed.idx : Screen::kDirectColour;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
        return;
    }
    const int continuation = codePoint < 0x800 ? 1 : codePoint < 0x10000 ? 2 : 3;
    out += static_cast<char>((0xFF00 >> (continuation + 1)) | (codePoint >> (6 * continuation)));
    for (int shift = 6 * (continuation - 1); shift >= 0; shift -= 6)
        out += static_cast<char>(0x80 | ((codePoint >> shift) & 0x3F));
}

}  // namespace

Screen::Screen(int rows, int columns) : rows_(rows), columns_(columns) {
    terminal_ = vterm_new(rows, columns);
    if (terminal_ == nullptr) throw std::runtime_error("vterm_new failed");
    vterm_set_utf8(terminal_, 1);
    vterm_output_set_callback(
        terminal_, [](const char* bytes, size_t length, void* self) { static_cast<Screen*>(self)->replies_.append(bytes, length); },
        this);
    static VTermScreenCallbacks callbacks{};
    callbacks.settermprop = [](VTermProp property, VTermValue* value, void* user) {
        auto* self = static_cast<Screen*>(user);
        if (property == VTERM_PROP_CURSORVISIBLE) self->cursorVisible_ = value->boolean != 0;
        if (property == VTERM_PROP_ALTSCREEN) self->altScreen_ = value->boolean != 0;
        if (property == VTERM_PROP_TITLE) {
#if VTERM_VERSION_MAJOR > 0 || VTERM_VERSION_MINOR >= 2
            // Newer libvterm hands the title over in fragments.
            if (value->string.initial) self->titleInProgress_.clear();
            self->titleInProgress_.append(value->string.str, value->string.len);
            if (value->string.final) self->title_ = self->titleInProgress_;
#else
            self->title_ = value->string != nullptr ? value->string : "";
#endif
        }
        return 1;
    };
    VTermScreen* screen = vterm_obtain_screen(terminal_);
    vterm_screen_set_callbacks(screen, &callbacks, this);
    vterm_screen_enable_altscreen(screen, 1);
    vterm_screen_reset(screen, 1);
}

Screen::~Screen() { vterm_free(terminal_); }

void Screen::feed(std::string_view bytes) { vterm_input_write(terminal_, bytes.data(), bytes.size()); }

void Screen::resize(int rows, int columns) {
    rows_ = rows;
    columns_ = columns;
    vterm_set_size(terminal_, rows, columns);
}

Screen::Cell Screen::cell(int row, int column) const {
    VTermScreenCell raw{};
    Cell result;
    if (!vterm_screen_get_cell(vterm_obtain_screen(terminal_), VTermPos{row, column}, &raw)) return result;
    if (raw.chars[0] != 0) result.codePoint = raw.chars[0];
    result.foreground = paletteIndex(raw.fg, true);
    result.background = paletteIndex(raw.bg, false);
    result.styled = raw.attrs.bold || raw.attrs.reverse || raw.attrs.underline;
    return result;
}

std::string Screen::text(int row, int column, int length) const {
    std::string out;
    for (int offset = 0; offset < length && column + offset < columns_; ++offset)
        appendUtf8(out, cell(row, column + offset).codePoint);
    return out;
}

bool Screen::showsAt(int row, int column, std::string_view utf8) const {
    int cells = 0;
    for (unsigned char byte : utf8) cells += (byte & 0xC0) != 0x80;
    return text(row, column, cells) == utf8;
}

bool Screen::shows(std::string_view utf8) const {
    for (int row = 0; row < rows_; ++row)
        if (rowText(row).find(utf8) != std::string::npos) return true;
    return false;
}

std::string Screen::dump() const {
    std::string dump = "\n";
    for (int row = 0; row < rows_; ++row) {
        std::string line = rowText(row);
        line.erase(line.find_last_not_of(' ') + 1);
        dump.append(row < 10 ? " " : "").append(std::to_string(row)).append("|").append(line).append("\n");
    }
    return dump;
}

Screen::Position Screen::cursor() const {
    VTermPos position{};
    vterm_state_get_cursorpos(vterm_obtain_state(terminal_), &position);
    return {position.row, position.col};
}

bool Screen::privateModeSet(int mode) {
    std::string pending = std::move(replies_);
    replies_.clear();
    feed("\x1b[?" + std::to_string(mode) + "$p");
    const bool set = replies_ == "\x1b[?" + std::to_string(mode) + ";1$y";
    replies_ = std::move(pending);
    return set;
}

std::string Screen::takeReplies() { return std::exchange(replies_, {}); }
