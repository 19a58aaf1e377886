#include "platform/Platform.h"

#include "platform/posix/LocaleCharset.h"

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
