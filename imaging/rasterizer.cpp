#include "imaging/rasterizer.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include "hangul/glyph_text.h"
#include "imaging/font_engine.h"

namespace sylpic {

namespace {

constexpr int kMinPointSize = 5;
constexpr int kMaxPointSize = 100;
constexpr int kMaxBitmapSide = 32768;   // both 0 and 32768 are accepted

// Rows of a monochrome bitmap are padded to a multiple of 16 bits.
int MonoRowBytes(int width)
{
    return 2 * ((width + 15) / 16);
}

// The character (em) height in pixels: size * dpi / 72, halves upward,
// unless the choice names its em.
int EmPixelsOf(const FontChoice& choice)
{
    if (choice.emPixels > 0)
        return choice.emPixels;
    return (PointSizeOf(choice.size) * choice.dpi + 36) / 72;
}

// The largest em a face is opened at (HangulFont keeps the em within it).
constexpr int kMaxEmPixels = 0xFFFF;

// The face's line at `emPixels`: ascent plus descent, as every image drawn
// at that em is high; -1 when the face cannot be opened.
int LineHeightAt(const std::string& faceName, int emPixels)
{
    const HangulFont font(faceName, emPixels);
    return font.ok() ? font.Ascent() + font.Descent() : -1;
}

// Gives `bitmap` a buffer of `width` x `height` background pixels.
bool AllocateBitmap(int width, int height, GlyphBitmap& bitmap)
{
    bitmap.width = width;
    bitmap.height = height;
    bitmap.rowBytes = MonoRowBytes(width);
    const std::size_t size = static_cast<std::size_t>(bitmap.rowBytes) * static_cast<std::size_t>(height);
    unsigned char* bits = new (std::nothrow) unsigned char[size];
    if (bits == nullptr)
        return false;
    bitmap.bits.reset(bits);
    bitmap.size = size;
    std::fill(bits, bits + size, static_cast<unsigned char>(0));  // background is 0
    return true;
}

bool FitsBitmapSides(const TextExtent& extent)
{
    return extent.width >= 0 && extent.width <= kMaxBitmapSide && extent.height >= 0 && extent.height <= kMaxBitmapSide;
}

}  // namespace

int PointSizeOf(const std::string& sizeSetting)
{
    // Read as the C library's atoi reads it (leading space, sign, digits),
    // through strtol so that an overlong number is defined behaviour.
    const int pointSize = static_cast<int>(std::strtol(sizeSetting.c_str(), nullptr, 10));
    return std::clamp(pointSize, kMinPointSize, kMaxPointSize);
}

ImagingStatus RasterizeGlyphs(const FontChoice& choice, const unsigned char* bytes, std::size_t room, bool unicodeMode,
                             GlyphBitmap& bitmap)
{
    const int emPixels = EmPixelsOf(choice);

    // The bitmap being replaced goes first, so that a failure below leaves
    // no stale buffer behind that does not match the new measurements.
    bitmap.Free();

    // The whole face name: a name is found only as it is listed.
    HangulFont font(choice.faceName, emPixels);
    if (!font.ok())
        return ImagingStatus::kFontFailed;

    const std::u32string text = unicodeMode ? DecodeUnicodeGlyphs(bytes, room) : DecodeNarrowGlyphs(bytes, room);
    const TextExtent extent = font.Measure(text);
    bitmap.width = extent.width;
    bitmap.height = extent.height;
    if (!FitsBitmapSides(extent))
        return ImagingStatus::kFontFailed;
    if (!AllocateBitmap(extent.width, extent.height, bitmap))
        return ImagingStatus::kNoMemory;
    font.Draw(text, bitmap.bits.get(), extent.width, extent.height, bitmap.rowBytes);
    return ImagingStatus::kOk;
}

ImagingStatus RasterizeGlyphsDoubled(const FontChoice& choice, const unsigned char* bytes, std::size_t room,
                                    bool unicodeMode, GlyphBitmap& bitmap)
{
    const int emPixels = EmPixelsOf(choice);
    bitmap.Free();

    // The text is measured and laid out at 1x, exactly as RasterizeGlyphs
    // does, and drawn from the face at twice the em.
    HangulFont layout(choice.faceName, emPixels);
    HangulFont font(choice.faceName, 2 * emPixels);
    if (!layout.ok() || !font.ok())
        return ImagingStatus::kFontFailed;

    const std::u32string text = unicodeMode ? DecodeUnicodeGlyphs(bytes, room) : DecodeNarrowGlyphs(bytes, room);
    const TextExtent extent = layout.Measure(text);
    // The 2x image exists exactly when the 1x image does.
    if (!FitsBitmapSides(extent))
        return ImagingStatus::kFontFailed;
    if (!AllocateBitmap(2 * extent.width, 2 * extent.height, bitmap))
        return ImagingStatus::kNoMemory;
    font.DrawScaledLayout(layout, 2, text, bitmap.bits.get(), bitmap.width, bitmap.height, bitmap.rowBytes);
    return ImagingStatus::kOk;
}

ImagingStatus MeasureFontLines(const FontChoice& choice, FontLines& lines)
{
    const HangulFont font(choice.faceName, EmPixelsOf(choice));
    if (!font.ok())
        return ImagingStatus::kFontFailed;
    lines.ascent = font.Ascent();
    lines.descent = font.Descent();
    return ImagingStatus::kOk;
}

int FindImageEmPixels(const std::string& faceName, const unsigned char* bytes, std::size_t room, bool unicodeMode,
                      int width, int height)
{
    // The line never shrinks as the em grows: the smallest em whose line
    // reaches the height is found by halving, and the ems from it whose
    // line is exactly the height are the candidates.
    int low = 1;
    int high = kMaxEmPixels;
    if (height <= 0 || LineHeightAt(faceName, high) < height)
        return 0;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (LineHeightAt(faceName, middle) < height)
            low = middle + 1;
        else
            high = middle;
    }
    const std::u32string text = unicodeMode ? DecodeUnicodeGlyphs(bytes, room) : DecodeNarrowGlyphs(bytes, room);
    for (int em = low; em <= kMaxEmPixels && LineHeightAt(faceName, em) == height; ++em) {
        HangulFont font(faceName, em);
        if (font.Measure(text).width == width)
            return em;
    }
    return 0;
}

}  // namespace sylpic
