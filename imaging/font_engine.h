#pragma once
// The platform's text services on FreeType and fontconfig: the Hangul faces,
// and measuring and drawing a string one bit per pixel.
#include <cstddef>
#include <string>
#include <vector>

namespace sylpic {

// Face names of the fonts whose languages include Korean: each family's
// first (default-language) name, sorted ignoring case, without duplicates.
std::vector<std::string> ListHangulFaces();

// The glyph cache's byte budget: the rendered glyphs of all faces and sizes
// together, with their bookkeeping, stay within it (8 MB unless set). Past
// it the cache is emptied and fills again; a glyph bigger than the whole
// budget is drawn from a slot of its own. Setting the budget empties the
// cache; returns the budget before.
std::size_t SetGlyphCacheBudget(std::size_t bytes);
// How many times the glyph cache has been emptied to stay within its budget.
std::size_t GlyphCacheEvictions();
// A face's file, as fontconfig lists it.
struct FaceFileName {
    std::string path;
    int index = 0;
};
// The file that drawing opens for `faceName` (ignoring case), then the files
// of the other upright faces of its family, by path and index. Empty when no
// Hangul face has that name.
std::vector<FaceFileName> ListFamilyFaceFiles(const std::string& faceName);

// Measured size of a text, in whole pixels.
struct TextExtent {
    int width = 0;
    int height = 0;
};

// A Hangul face opened at a pixel size (the em size). Opening fails (ok()
// false) when `faceName` is no Hangul face, ignoring case.
class HangulFont {
public:
    HangulFont(const std::string& faceName, int pixelSize);
    ~HangulFont();
    HangulFont(const HangulFont&) = delete;
    HangulFont& operator=(const HangulFont&) = delete;

    bool ok() const;
    // The rows above and below the baseline at this size, as Measure and
    // Draw lay text out: no glyph is rendered to know them. 0 when !ok().
    int Ascent() const;
    int Descent() const;
    // Width: the sum of the glyphs' advances; height: ascent plus descent.
    TextExtent Measure(const std::u32string& text);
    // Draws `text` at the top left of a one-bit bitmap (MSB leftmost, 1 ink,
    // rows `rowBytes` apart), baseline at the ascent, clipped to the bitmap.
    void Draw(const std::u32string& text, unsigned char* bits, int width, int height, int rowBytes);
    // Draws as Draw does, but renders every glyph afresh through FreeType and
    // sets its pixels one at a time: the plain way, which the glyph cache and
    // its copying are checked against. Slow; for tests.
    void DrawUncached(const std::u32string& text, unsigned char* bits, int width, int height, int rowBytes);
    // Draws `text` as `layout` (the same face at 1/`scale` of this size)
    // lays it out, scaled by `scale`: each glyph's pen at `scale` times its
    // pen in `layout`, the baseline at `scale` times `layout`'s ascent, and
    // each glyph drawn at this font's size. So a bitmap `scale` times the
    // size of `layout`'s has its ink where `layout`'s ink is, scaled, and no
    // glyph drifts by the rounding of its own advances. Clipped as Draw is.
    void DrawScaledLayout(const HangulFont& layout, int scale, const std::u32string& text, unsigned char* bits,
                          int width, int height, int rowBytes);

private:
    struct Impl;
    Impl* impl_;
};

}  // namespace sylpic
