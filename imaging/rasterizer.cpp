#include "imaging/rasterizer.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include "hangul/code_page.h"
#include "imaging/font_engine.h"

namespace {

constexpr int kMinPointSize = 5;
constexpr int kMaxPointSize = 100;
constexpr int kMaxBitmapSide = 32768;   // both 0 and 32768 are accepted
constexpr char32_t kReplacement = 0xFFFD;

// Narrow mode: code page 949 bytes up to the first zero byte. Bytes below
// 0x80 stand for themselves; the others start a two-byte character.
std::u32string DecodeNarrow(const unsigned char* bytes, std::size_t room)
{
    std::u32string text;
    std::size_t i = 0;
    while (i < room && bytes[i] != 0) {
        const unsigned char lead = bytes[i];
        if (lead < 0x80) {
            text += static_cast<char32_t>(lead);
            ++i;
            continue;
        }
        const unsigned char trail = (i + 1 < room) ? bytes[i + 1] : 0;
        char16_t unit = 0;
        if (trail != 0 && Cp949PairToUnit(lead, trail, &unit) == 1) {
            text += static_cast<char32_t>(unit);
            i += 2;
            continue;
        }
        text += kReplacement;
        // A trail byte of 0x80 or more belonged to the broken pair; an ASCII
        // byte after a lone lead byte is a character of its own.
        i += (trail >= 0x80) ? 2 : 1;
    }
    return text;
}

// Unicode mode: UTF-16 code units, low byte first, up to the first zero unit.
std::u32string DecodeUnicode(const unsigned char* bytes, std::size_t room)
{
    std::u32string text;
    const std::size_t units = room / 2;
    auto unitAt = [bytes](std::size_t i) -> char32_t { return bytes[2 * i] | (bytes[2 * i + 1] << 8); };
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(i);
        if (unit == 0)
            break;
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < units) {
            const char32_t low = unitAt(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text += 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
                ++i;
                continue;
            }
        }
        text += (unit >= 0xD800 && unit <= 0xDFFF) ? kReplacement : unit;
    }
    return text;
}

// Rows of a monochrome bitmap are padded to a multiple of 16 bits.
int MonoRowBytes(int width)
{
    return 2 * ((width + 15) / 16);
}

}  // namespace

int PointSizeOf(const std::string& sizeSetting)
{
    // Read as the C library's atoi reads it (leading space, sign, digits),
    // through strtol so that an overlong number is defined behaviour.
    const int pointSize = static_cast<int>(std::strtol(sizeSetting.c_str(), nullptr, 10));
    return std::clamp(pointSize, kMinPointSize, kMaxPointSize);
}

RasterResult RasterizeGlyphs(const FontChoice& choice, const unsigned char* bytes, std::size_t room, bool unicodeMode,
                             GlyphBitmap& bitmap)
{
    // The character (em) height in pixels: size * dpi / 72, halves upward.
    const int emPixels = (PointSizeOf(choice.size) * choice.dpi + 36) / 72;

    // The bitmap being replaced goes first, so that a failure below leaves
    // no stale buffer behind that does not match the new measurements.
    bitmap.Free();

    // The whole face name: a name is found only as it is listed.
    HangulFont font(choice.faceName, emPixels);
    if (!font.ok())
        return RasterResult::kFontFailed;

    const std::u32string text = unicodeMode ? DecodeUnicode(bytes, room) : DecodeNarrow(bytes, room);
    const TextExtent extent = font.Measure(text);
    bitmap.width = extent.width;
    bitmap.height = extent.height;
    if (extent.width < 0 || extent.width > kMaxBitmapSide || extent.height < 0 || extent.height > kMaxBitmapSide)
        return RasterResult::kFontFailed;

    bitmap.rowBytes = MonoRowBytes(extent.width);
    const std::size_t size = static_cast<std::size_t>(bitmap.rowBytes) * static_cast<std::size_t>(extent.height);
    unsigned char* bits = new (std::nothrow) unsigned char[size];
    if (bits == nullptr)
        return RasterResult::kNoMemory;
    bitmap.bits.reset(bits);
    bitmap.size = size;
    std::fill(bits, bits + size, static_cast<unsigned char>(0));  // background is 0
    font.Draw(text, bits, extent.width, extent.height, bitmap.rowBytes);
    return RasterResult::kDrawn;
}
