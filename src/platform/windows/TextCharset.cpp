#include "platform/Platform.h"

namespace platform {

// The console's code page 850 is the program's own: bytes go out as they
// are, but control bytes, which would act on the console, as '?'.
TextCharset textCharset() {
    static const cp850::GlyphTable GLYPHS = [] {
        cp850::GlyphTable glyphs;
        for (int byte = 0; byte < 256; ++byte)
            glyphs[byte] = byte < 32 || byte == 127 ? std::string("?") : std::string(1, static_cast<char>(byte));
        return glyphs;
    }();
    TextCharset charset;
    charset.utf8 = false;
    charset.holdsByte.fill(true);
    charset.glyphs = &GLYPHS;
    return charset;
}

}  // namespace platform
