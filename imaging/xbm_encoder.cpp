// XBM puts the leftmost pixel in the least significant bit, the glyph bitmap
// in the most significant one, so every byte goes through the bit-reversal
// table. Bits past the width are written as the glyph bitmap holds them.
#include "imaging/xbm_encoder.h"

#include <cstdio>
#include <cstring>

#include "data/bit_reverse.h"
#include "hangul/ascii_text.h"

namespace sylpic {

namespace {

void AppendText(ByteBuffer& out, const char* text)
{
    AppendBytes(out, text, std::strlen(text));
}

void AppendNumber(ByteBuffer& out, int value)
{
    char digits[16];
    const int length = std::snprintf(digits, sizeof digits, "%d", value);
    AppendBytes(out, digits, static_cast<std::size_t>(length));
}

void AppendDefine(ByteBuffer& out, const char* name, std::string_view suffix, int value)
{
    AppendBytes(out, kXbmDefine.data(), kXbmDefine.size());
    AppendText(out, name);
    AppendBytes(out, suffix.data(), suffix.size());
    AppendText(out, " ");
    AppendNumber(out, value);
    AppendText(out, "\r\n");
}

// One line "#define <name><suffix> <number>" at text[at...], its line break
// taken too; false when the line is not that.
bool ReadDefine(std::string_view text, std::size_t& at, std::string_view suffix, int& value)
{
    if (text.compare(at, kXbmDefine.size(), kXbmDefine) != 0)
        return false;
    const std::size_t nameStart = at + kXbmDefine.size();
    const std::size_t space = text.find(' ', nameStart);
    if (space == std::string_view::npos || space - nameStart < suffix.size() ||
        text.compare(space - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    // A define is one line: its name holds no line break.
    if (text.substr(nameStart, space - nameStart).find_first_of("\r\n") != std::string_view::npos)
        return false;
    long number = 0;
    std::size_t i = space + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        number = number * 10 + (text[i] - '0');
        if (number > kMaxImageSide)
            return false;
    }
    if (i == space + 1)
        return false;
    if (i < text.size() && text[i] == '\r')
        ++i;
    if (i >= text.size() || text[i] != '\n')
        return false;
    at = i + 1;
    value = static_cast<int>(number);
    return true;
}

}  // namespace

void EncodeXbm(const GlyphBitmapView& bitmap, const char* name, ByteBuffer& out)
{
    AppendDefine(out, name, kXbmWidthSuffix, bitmap.width);
    AppendDefine(out, name, kXbmHeightSuffix, bitmap.height);
    AppendText(out, "static char ");
    AppendText(out, name);
    AppendText(out, "_bits[] = {\r\n");

    if (bitmap.Valid()) {
        const int items = (bitmap.width + 7) / 8;
        for (int row = 0; row < bitmap.height; ++row) {
            const unsigned char* bytes = bitmap.bits + static_cast<std::size_t>(row) * bitmap.rowBytes;
            for (int j = 0; j < items; ++j) {
                const unsigned char value = g_bitReverse[bytes[j]];
                const char item[5] = {'0', 'x', kLowerHexDigits[value >> 4], kLowerHexDigits[value & 0x0F], ','};
                const bool last = row == bitmap.height - 1 && j == items - 1;
                AppendBytes(out, item, last ? 4 : 5);
            }
            if (row != bitmap.height - 1)
                AppendText(out, "\r\n");
        }
    }
    // An image without pixels gets an empty array rather than a cut header.
    AppendText(out, "};\r\n");
}

bool ReadXbmSize(const unsigned char* head, std::size_t length, ImageSize& size)
{
    const std::string_view text(reinterpret_cast<const char*>(head), length);
    std::size_t at = 0;
    ImageSize read;
    if (!ReadDefine(text, at, kXbmWidthSuffix, read.width) || !ReadDefine(text, at, kXbmHeightSuffix, read.height))
        return false;
    size = read;
    return true;
}

}  // namespace sylpic
