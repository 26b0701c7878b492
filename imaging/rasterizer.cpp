#include "imaging/rasterizer.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include "hangul/glyph_text.h"
#include "imaging/font_engine.h"

namespace {

constexpr int kMinPointSize = 5;
constexpr int kMaxPointSize = 100;
constexpr int kMaxBitmapSide = 32768;   // both 0 and 32768 are accepted

// Rows of a monochrome bitmap are padded to a multiple of 16 bits.
int MonoRowBytes(int width)
{
    return 2 * ((width + 15) / 16);
}

// The character (em) height in pixels: size * dpi / 72, halves upward.
int EmPixelsOf(const FontChoice& choice)
{
    return (PointSizeOf(choice.size) * choice.dpi + 36) / 72;
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
    const int emPixels = EmPixelsOf(choice);

    // The bitmap being replaced goes first, so that a failure below leaves
    // no stale buffer behind that does not match the new measurements.
    bitmap.Free();

    // The whole face name: a name is found only as it is listed.
    HangulFont font(choice.faceName, emPixels);
    if (!font.ok())
        return RasterResult::kFontFailed;

    const std::u32string text = unicodeMode ? DecodeUnicodeGlyphs(bytes, room) : DecodeNarrowGlyphs(bytes, room);
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

bool MeasureFontLines(const FontChoice& choice, FontLines& lines)
{
    const HangulFont font(choice.faceName, EmPixelsOf(choice));
    if (!font.ok())
        return false;
    lines.ascent = font.Ascent();
    lines.descent = font.Descent();
    return true;
}
