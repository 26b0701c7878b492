// The image key: font, size, transparency and the glyph codes of a block.
#include <cstring>

#include "convert/image_key.h"
#include "hangul/ascii_text.h"

namespace sylpic {

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

std::string GlyphBytesOfKey(std::string_view key)
{
    const std::size_t space = key.rfind(' ');
    std::string_view hex = space == std::string_view::npos ? key : key.substr(space + 1);
    if (!hex.empty() && hex[0] == '^')
        hex.remove_prefix(1);
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size() && IsHexDigit(hex[i]) && IsHexDigit(hex[i + 1]); i += 2)
        bytes += static_cast<char>(HexDigitValue(hex[i]) * 16 + HexDigitValue(hex[i + 1]));
    return bytes;
}

}  // namespace sylpic
