// XBM puts the leftmost pixel in the least significant bit, the glyph bitmap
// in the most significant one, so every byte goes through the bit-reversal
// table. Bits past the width are written as the glyph bitmap holds them.
#include "imaging/xbm_writer.h"

#include <cstdio>
#include <cstring>

#include "data/bit_reverse.h"

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

void AppendDefine(ByteBuffer& out, const char* name, const char* what, int value)
{
    AppendText(out, "#define ");
    AppendText(out, name);
    AppendText(out, what);
    AppendNumber(out, value);
    AppendText(out, "\r\n");
}

}  // namespace

int EncodeXbm(const GlyphBitmapView& bitmap, const char* name, ByteBuffer& out)
{
    static const char kHexDigits[] = "0123456789abcdef";
    AppendDefine(out, name, "_width ", bitmap.width);
    AppendDefine(out, name, "_height ", bitmap.height);
    AppendText(out, "static char ");
    AppendText(out, name);
    AppendText(out, "_bits[] = {\r\n");

    if (bitmap.Valid()) {
        const int items = (bitmap.width + 7) / 8;
        for (int row = 0; row < bitmap.height; ++row) {
            const unsigned char* bytes = bitmap.bits + static_cast<std::size_t>(row) * bitmap.rowBytes;
            for (int j = 0; j < items; ++j) {
                const unsigned char value = g_bitReverse[bytes[j]];
                const char item[5] = {'0', 'x', kHexDigits[value >> 4], kHexDigits[value & 0x0F], ','};
                const bool last = row == bitmap.height - 1 && j == items - 1;
                AppendBytes(out, item, last ? 4 : 5);
            }
            if (row != bitmap.height - 1)
                AppendText(out, "\r\n");
        }
    }
    // An image without pixels gets an empty array rather than a cut header.
    AppendText(out, "};\r\n");
    return 0;
}
