#pragma once
// The glyph bitmap: one bit per pixel, rows top to bottom `rowBytes` apart,
// the most significant bit leftmost, 1 for ink. The rasterizer makes it
// (GlyphBitmap owns its pixels); the three encoders read it through a view.
#include <cstddef>
#include <memory>

namespace sylpic {

struct GlyphBitmapView {
    int width = 0;
    int height = 0;
    int rowBytes = 0;
    const unsigned char* bits = nullptr;  // null when there are no pixels
    std::size_t size = 0;                 // bytes readable at `bits`

    // True when `bits` holds every row the measurements claim, each wide
    // enough for `width` pixels. Encoders read pixels only from a valid view.
    bool Valid() const
    {
        if (width <= 0 || height <= 0 || rowBytes < (width + 7) / 8 || bits == nullptr)
            return false;
        return static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height) <= size;
    }
};

struct GlyphBitmap {
    int width = 0;
    int height = 0;
    int rowBytes = 0;
    std::unique_ptr<unsigned char[]> bits;  // null when no buffer is held
    std::size_t size = 0;

    GlyphBitmapView View() const { return {width, height, rowBytes, bits.get(), size}; }
    void Free()
    {
        bits.reset();
        size = 0;
    }
};

}  // namespace sylpic
