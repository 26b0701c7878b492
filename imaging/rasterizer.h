#pragma once
// The glyph rasterizer: draws a block's glyph string into a one-bit glyph
// bitmap in a Hangul face at a point size and resolution.
//
//   GlyphBitmap bitmap;
//   ImagingStatus status = RasterizeGlyphs({"NanumGothic", "12", 96}, bytes, room, false, bitmap);
//
// The size is read as the leading number of its text, kept within 5 to 100
// points; the em is (points * dpi + 36) / 72 pixels. The width is the sum of
// the glyphs' advances, the height the face's ascent plus descent.
#include <cstddef>
#include <string>

#include "imaging/glyph_bitmap.h"
#include "imaging/imaging_status.h"

namespace sylpic {

struct FontChoice {
    std::string faceName;  // the whole name, as listed
    std::string size;      // the size setting as typed ("12", "12pt", ...)
    int dpi;               // vertical dots per inch of the drawing surface
    // The em in pixels, when known from an image drawn at another
    // resolution: it then stands for the size and the resolution.
    int emPixels = 0;
};

// Draws the glyph string `bytes` (room: the bytes that may be read; the text
// ends at its first zero byte, or zero UTF-16 unit in Unicode mode). Any
// pixel buffer `bitmap` held is freed first. kOk when `bitmap` holds the
// drawing; kFontFailed for no such face or a text that cannot be measured
// or held; kNoMemory when measured but no pixel buffer could be had.
ImagingStatus RasterizeGlyphs(const FontChoice& font, const unsigned char* bytes, std::size_t room, bool unicodeMode,
                             GlyphBitmap& bitmap);

// The rows above and below the baseline of every image RasterizeGlyphs
// draws in this face and size: the image's height is their sum.
struct FontLines {
    int ascent = 0;
    int descent = 0;
};

// The face's lines at the size of `font`, read from the font's metrics
// without drawing anything. kFontFailed when the face cannot be opened, as
// RasterizeGlyphs would then fail too.
ImagingStatus MeasureFontLines(const FontChoice& font, FontLines& lines);
// Draws the 2x image of what RasterizeGlyphs draws: exactly twice its width
// and height, each glyph drawn at twice the em (one bit per pixel) with its
// pen and the baseline at twice where RasterizeGlyphs puts them, so the ink
// lies where the 1x ink lies, scaled by two. Fails when RasterizeGlyphs
// would fail.
ImagingStatus RasterizeGlyphsDoubled(const FontChoice& font, const unsigned char* bytes, std::size_t room,
                                    bool unicodeMode, GlyphBitmap& bitmap);

// The em in pixels at which RasterizeGlyphs drew the glyph string `bytes`
// in face `faceName` as an image of `width` x `height` pixels: the em whose
// line (ascent plus descent) is `height` and whose advances sum to `width`,
// the smallest where several do. 0 when no em gives that image.
int FindImageEmPixels(const std::string& faceName, const unsigned char* bytes, std::size_t room, bool unicodeMode,
                      int width, int height);

// The point size a size setting draws at: its leading number, 5 to 100.
int PointSizeOf(const std::string& sizeSetting);

}  // namespace sylpic
