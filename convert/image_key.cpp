// The image key: font, size, transparency and the glyph codes of a block.
#include <cstring>

#include "convert/image_key.h"
#include "hangul/ascii_text.h"

int MakeImageKey(std::string_view fontName, std::string_view fontSize, bool transparent,
                 const unsigned char* glyphs, int glyphLength, char key[kImageKeyBytes])
{
    // "<font> <size> " then "^" unless transparent, then the glyph string's
    // bytes as upper-case hexadecimal. A key over 250 characters is none.
    const std::size_t codes = static_cast<std::size_t>(glyphLength > 0 ? glyphLength : 0);
    const std::size_t prefix = fontName.size() + 1 + fontSize.size() + 1 + (transparent ? 0 : 1);
    if (prefix + 2 * codes > kMaxImageKey) {
        key[0] = '\0';
        return 0;
    }
    std::size_t length = 0;
    auto append = [&](std::string_view text) {
        std::memcpy(key + length, text.data(), text.size());
        length += text.size();
    };
    append(fontName);
    key[length++] = ' ';
    append(fontSize);
    key[length++] = ' ';
    if (!transparent)
        key[length++] = '^';
    for (std::size_t i = 0; i < codes; ++i) {
        const unsigned char byte = glyphs[i];
        key[length++] = kUpperHexDigits[byte >> 4];
        key[length++] = kUpperHexDigits[byte & 0x0F];
    }
    key[length] = '\0';
    return static_cast<int>(length);
}
