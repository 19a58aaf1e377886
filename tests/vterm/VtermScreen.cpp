#include "VtermScreen.h"

#include <vterm.h>

#include <stdexcept>

namespace {

int paletteIndex(const VTermColor& colour, bool isForeground) {
    if (isForeground ? VTERM_COLOR_IS_DEFAULT_FG(&colour) : VTERM_COLOR_IS_DEFAULT_BG(&colour))
        return VtermScreen::kDefaultColour;
    if (VTERM_COLOR_IS_INDEXED(&colour)) return colour.indexed.idx;
    return VtermScreen::kDirectColour;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

}  // namespace

VtermScreen::VtermScreen(int rows, int columns) : rows_(rows), columns_(columns) {
    terminal_ = vterm_new(rows, columns);
    if (terminal_ == nullptr) throw std::runtime_error("vterm_new failed");
    vterm_set_utf8(terminal_, 1);
    vterm_output_set_callback(
        terminal_,
        [](const char* bytes, size_t length, void* self) {
            static_cast<VtermScreen*>(self)->replies_.append(bytes, length);
        },
        this);

    static const VTermScreenCallbacks callbacks = [] {
        VTermScreenCallbacks table{};
        table.settermprop = [](VTermProp property, VTermValue* value, void* user) {
            auto* self = static_cast<VtermScreen*>(user);
            switch (property) {
            case VTERM_PROP_CURSORVISIBLE: self->cursorVisible_ = value->boolean != 0; break;
            case VTERM_PROP_ALTSCREEN: self->altScreen_ = value->boolean != 0; break;
            case VTERM_PROP_TITLE:
#if VTERM_VERSION_MAJOR > 0 || VTERM_VERSION_MINOR >= 2
                // Newer libvterm hands the title over in fragments.
                if (value->string.initial) self->titleInProgress_.clear();
                self->titleInProgress_.append(value->string.str, value->string.len);
                if (value->string.final) self->title_ = self->titleInProgress_;
#else
                self->titleInProgress_ = value->string != nullptr ? value->string : "";
                self->title_ = self->titleInProgress_;
#endif
                break;
            default: break;
            }
            return 1;
        };
        return table;
    }();
    VTermScreen* screen = vterm_obtain_screen(terminal_);
    vterm_screen_set_callbacks(screen, &callbacks, this);
    vterm_screen_enable_altscreen(screen, 1);
    vterm_screen_reset(screen, 1);
}

VtermScreen::~VtermScreen() { vterm_free(terminal_); }

void VtermScreen::feed(std::string_view bytes) { vterm_input_write(terminal_, bytes.data(), bytes.size()); }

void VtermScreen::resize(int rows, int columns) {
    rows_ = rows;
    columns_ = columns;
    vterm_set_size(terminal_, rows, columns);
}

VtermScreen::Cell VtermScreen::cell(int row, int column) const {
    VTermScreenCell raw{};
    Cell result;
    if (!vterm_screen_get_cell(vterm_obtain_screen(terminal_), VTermPos{row, column}, &raw)) return result;
    if (raw.chars[0] != 0) result.codePoint = raw.chars[0];
    result.foreground = paletteIndex(raw.fg, true);
    result.background = paletteIndex(raw.bg, false);
    result.bold = raw.attrs.bold != 0;
    result.reverse = raw.attrs.reverse != 0;
    result.underline = raw.attrs.underline != 0;
    return result;
}

std::string VtermScreen::text(int row, int column, int length) const {
    std::string out;
    for (int offset = 0; offset < length && column + offset < columns_; ++offset)
        appendUtf8(out, cell(row, column + offset).codePoint);
    return out;
}

VtermScreen::Position VtermScreen::cursor() const {
    VTermPos position{};
    vterm_state_get_cursorpos(vterm_obtain_state(terminal_), &position);
    return Position{position.row, position.col};
}

bool VtermScreen::privateModeSet(int mode) {
    std::string pending = std::move(replies_);
    replies_.clear();
    feed("\x1b[?" + std::to_string(mode) + "$p");
    const bool set = replies_ == "\x1b[?" + std::to_string(mode) + ";1$y";
    replies_ = std::move(pending);
    return set;
}

std::string VtermScreen::takeReplies() {
    std::string taken = std::move(replies_);
    replies_.clear();
    return taken;
}
