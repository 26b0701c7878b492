#include "imaging/font_engine.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BITMAP_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "hangul/ascii_text.h"
#include "imaging/glyph_blit.h"

// Fonts are looked up once per face name, opened once per file, set up once
// per pixel size, and each glyph is rendered once per size and then copied
// into the bitmaps that show it: converting a page draws many small images
// in the same face and size, so after the first few images few glyphs go
// through FreeType again. All of this is used from the one thread that
// converts pages.

namespace sylpic {

namespace {

// ---------------------------------------------------------------------------
// RAII for the fontconfig and FreeType handles.

struct FcPatternDeleter { void operator()(FcPattern* p) const { FcPatternDestroy(p); } };
struct FcObjectSetDeleter { void operator()(FcObjectSet* s) const { FcObjectSetDestroy(s); } };
struct FcFontSetDeleter { void operator()(FcFontSet* s) const { FcFontSetDestroy(s); } };
struct FcLangSetDeleter { void operator()(FcLangSet* s) const { FcLangSetDestroy(s); } };
struct FcConfigDeleter { void operator()(FcConfig* c) const { FcConfigDestroy(c); } };
using FcPatternPtr = std::unique_ptr<FcPattern, FcPatternDeleter>;
using FcObjectSetPtr = std::unique_ptr<FcObjectSet, FcObjectSetDeleter>;
using FcFontSetPtr = std::unique_ptr<FcFontSet, FcFontSetDeleter>;
using FcLangSetPtr = std::unique_ptr<FcLangSet, FcLangSetDeleter>;
using FcConfigPtr = std::unique_ptr<FcConfig, FcConfigDeleter>;

struct FtLibraryDeleter { void operator()(FT_Library l) const { FT_Done_FreeType(l); } };
struct FtFaceDeleter { void operator()(FT_Face f) const { FT_Done_Face(f); } };
using FtLibraryPtr = std::unique_ptr<std::remove_pointer_t<FT_Library>, FtLibraryDeleter>;
using FtFacePtr = std::unique_ptr<std::remove_pointer_t<FT_Face>, FtFaceDeleter>;

// A glyph rendered one bit per pixel, MSB leftmost, rows (width + 7) / 8 apart.
struct MonoGlyph {
    int advance = 0;  // hinted advance in whole pixels
    int left = 0;     // from the pen to the first column
    int top = 0;      // from the baseline up to the first row
    int width = 0;
    int rows = 0;
    std::vector<unsigned char> bits;
};

// A cached glyph: its measures, and its bits at `offset` in the bits of its
// sized face.
struct CachedGlyph {
    int advance = 0;
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::size_t offset = 0;
};

// A glyph to draw: its measures and bits, valid until the next glyph is
// asked for.
struct GlyphView {
    int advance;
    int left;
    int top;
    int width;
    int rows;
    const unsigned char* bits;
};

// One face at one pixel size: its FreeType size object, its line metrics and
// the glyphs rendered so far, by glyph index.
struct SizedFace {
    FT_Size size = nullptr;  // owned by the face
    int ascent = 0;
    int descent = 0;
    std::unordered_map<FT_UInt, CachedGlyph> glyphs;
    std::vector<unsigned char> bits;  // of all cached glyphs, one after another
};

// The glyph caches of all faces and sizes together hold at most this many
// bytes, counting the room for their bits and each glyph's bookkeeping; past
// that they are emptied and fill again with the glyphs in use. The glyphs
// of one size (11,172 syllables at 48 pixels) take about 4 MB.
constexpr std::size_t kGlyphCacheBytes = 8u << 20;
constexpr std::size_t kGlyphBookkeepingBytes = 64;
constexpr std::size_t kGlyphBitsStep = 64u << 10;  // the room for bits grows by this much
// Characters whose glyph index is remembered, per face.
constexpr std::size_t kMaxCachedCharacters = 65536;

struct OpenFace {
    FtFacePtr face;
    std::unordered_map<int, std::unique_ptr<SizedFace>> sizes;
    std::unordered_map<char32_t, FT_UInt> glyphIndex;
};

struct FaceFile {
    std::string path;
    int index = 0;
};

std::string Lowered(const std::string& text)
{
    std::string lowered = text;
    for (char& c : lowered)
        c = AsciiLower(c);
    return lowered;
}

class FontCache {
public:
    static FontCache& Instance()
    {
        static FontCache cache;
        return cache;
    }

    FcConfig* config() const { return config_.get(); }

    // The fonts whose languages include Korean, with the given objects.
    FcFontSetPtr ListKoreanFonts(std::initializer_list<const char*> objects) const
    {
        if (!config_)
            return nullptr;
        FcPatternPtr pattern(FcPatternCreate());
        FcLangSetPtr korean(FcLangSetCreate());
        if (!pattern || !korean || !FcLangSetAdd(korean.get(), reinterpret_cast<const FcChar8*>("ko")) ||
            !FcPatternAddLangSet(pattern.get(), FC_LANG, korean.get()))
            return nullptr;
        FcObjectSetPtr wanted(FcObjectSetCreate());
        if (!wanted)
            return nullptr;
        for (const char* object : objects)
            if (!FcObjectSetAdd(wanted.get(), object))
                return nullptr;
        return FcFontSetPtr(FcFontList(config_.get(), pattern.get(), wanted.get()));
    }

    // The file of the face `faceName`, lower-cased, as drawing opens it; null
    // when there is none.
    const FaceFile* LocateFile(const std::string& key) { return Locate(key); }

    // The face `faceName` (ignoring case), or null.
    OpenFace* FindFace(const std::string& faceName)
    {
        return library_ ? Open(faceName) : nullptr;
    }

    // The sized face of `open` at `pixelSize`, or null.
    SizedFace* FindSize(OpenFace* open, int pixelSize)
    {
        auto found = open->sizes.find(pixelSize);
        if (found != open->sizes.end())
            return found->second.get();
        auto sized = MakeSize(open->face.get(), pixelSize);
        SizedFace* result = sized.get();
        open->sizes.emplace(pixelSize, std::move(sized));  // a failure is remembered as null
        return result;
    }

    // The glyph index of `code` in the face, 0 (the missing glyph) when absent.
    FT_UInt GlyphIndex(OpenFace& open, char32_t code)
    {
        auto found = open.glyphIndex.find(code);
        if (found != open.glyphIndex.end())
            return found->second;
        if (open.glyphIndex.size() >= kMaxCachedCharacters)
            open.glyphIndex.clear();
        const FT_UInt index = FT_Get_Char_Index(open.face.get(), code);
        open.glyphIndex.emplace(code, index);
        return index;
    }

    // The glyph `index` of `sized`, rendered on first use.
    GlyphView Glyph(SizedFace& sized, FT_UInt index)
    {
        auto found = sized.glyphs.find(index);
        if (found != sized.glyphs.end())
            return ViewOf(sized, found->second);
        MonoGlyph rendered = Render(sized, index);
        const std::size_t size = rendered.bits.size();
        if (size + kGlyphBookkeepingBytes > budget_) {
            // Too big to keep: shown from where it was rendered.
            uncached_ = std::move(rendered);
            return GlyphView{uncached_.advance, uncached_.left, uncached_.top, uncached_.width, uncached_.rows,
                             uncached_.bits.data()};
        }
        // The bits grow by steps counted whole, so the count is what is held.
        auto growthFor = [&] {
            return sized.bits.size() + size > sized.bits.capacity() ? std::max(size, kGlyphBitsStep) : 0;
        };
        std::size_t growth = growthFor();
        if (cachedBytes_ + growth + kGlyphBookkeepingBytes > budget_) {
            ForgetGlyphs();
            ++evictions_;
            growth = growthFor();
        }
        if (growth != 0)
            sized.bits.reserve(sized.bits.capacity() + growth);
        const CachedGlyph glyph{rendered.advance, rendered.left, rendered.top, rendered.width, rendered.rows,
                                sized.bits.size()};
        sized.bits.insert(sized.bits.end(), rendered.bits.begin(), rendered.bits.end());
        cachedBytes_ += growth + kGlyphBookkeepingBytes;
        return ViewOf(sized, sized.glyphs.emplace(index, glyph).first->second);
    }

    // The glyph `index` of `sized` rendered afresh, bypassing the cache.
    MonoGlyph RenderUncached(SizedFace& sized, FT_UInt index) { return Render(sized, index); }

    std::size_t SetBudget(std::size_t bytes)
    {
        const std::size_t before = budget_;
        ForgetGlyphs();
        budget_ = bytes;
        return before;
    }
    std::size_t Evictions() const { return evictions_; }

private:
    FontCache()
    {
        config_.reset(FcInitLoadConfigAndFonts());
        FT_Library library = nullptr;
        if (FT_Init_FreeType(&library) == 0)
            library_.reset(library);
    }

    ~FontCache()
    {
        faces_.clear();  // faces before the library
    }

    // Finds the file of a face by its first family name, regular upright
    // style preferred. Remembers the answer, found or not.
    const FaceFile* Locate(const std::string& key)
    {
        auto found = files_.find(key);
        if (found != files_.end())
            return found->second ? &*found->second : nullptr;

        std::unique_ptr<FaceFile> best;
        int bestScore = 0;
        std::string bestPath;
        FcFontSetPtr fonts = ListKoreanFonts({FC_FAMILY, FC_FILE, FC_INDEX, FC_WEIGHT, FC_SLANT});
        for (int i = 0; fonts && i < fonts->nfont; ++i) {
            FcPattern* font = fonts->fonts[i];
            FcChar8* family = nullptr;
            FcChar8* file = nullptr;
            if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch ||
                FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch ||
                Lowered(reinterpret_cast<const char*>(family)) != key)
                continue;
            int index = 0, weight = FC_WEIGHT_REGULAR, slant = FC_SLANT_ROMAN;
            FcPatternGetInteger(font, FC_INDEX, 0, &index);
            FcPatternGetInteger(font, FC_WEIGHT, 0, &weight);
            FcPatternGetInteger(font, FC_SLANT, 0, &slant);
            const int score = (slant != FC_SLANT_ROMAN ? 1000 : 0) + std::abs(weight - FC_WEIGHT_REGULAR);
            const std::string path = reinterpret_cast<const char*>(file);
            // Ties go to the smaller path and index, so the choice never
            // depends on the order fontconfig lists the files in.
            if (!best || score < bestScore || (score == bestScore && (path < best->path ||
                                                                      (path == best->path && index < best->index)))) {
                best = std::make_unique<FaceFile>(FaceFile{path, index});
                bestScore = score;
            }
        }
        const FaceFile* result = best.get();
        files_.emplace(key, std::move(best));
        return result;
    }

    OpenFace* Open(const std::string& faceName)
    {
        const std::string key = Lowered(faceName);
        auto found = faces_.find(key);
        if (found != faces_.end())
            return found->second.get();

        std::unique_ptr<OpenFace> open;
        if (const FaceFile* file = Locate(key)) {
            FT_Face face = nullptr;
            if (FT_New_Face(library_.get(), file->path.c_str(), file->index, &face) == 0) {
                FtFacePtr owned(face);
                // Text is handed over as Unicode; a face without a Unicode
                // map cannot draw it.
                if (FT_Select_Charmap(face, FT_ENCODING_UNICODE) == 0) {
                    open = std::make_unique<OpenFace>();
                    open->face = std::move(owned);
                }
            }
        }
        OpenFace* result = open.get();
        faces_.emplace(key, std::move(open));
        return result;
    }

    static std::unique_ptr<SizedFace> MakeSize(FT_Face face, int pixelSize)
    {
        FT_Size size = nullptr;
        if (FT_New_Size(face, &size) != 0)
            return nullptr;
        if (FT_Activate_Size(size) != 0 || FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize)) != 0) {
            FT_Done_Size(size);
            return nullptr;
        }
        auto sized = std::make_unique<SizedFace>();
        sized->size = size;
        const FT_Size_Metrics& metrics = size->metrics;
        // The Windows metrics of the OS/2 table give the cell that text is
        // measured and drawn in; fonts without them use FreeType's own.
        const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        if (os2 != nullptr && os2->version != 0xFFFF && FT_IS_SCALABLE(face) &&
            (os2->usWinAscent != 0 || os2->usWinDescent != 0)) {
            sized->ascent = static_cast<int>((FT_MulFix(os2->usWinAscent, metrics.y_scale) + 32) >> 6);
            sized->descent = static_cast<int>((FT_MulFix(os2->usWinDescent, metrics.y_scale) + 32) >> 6);
        } else {
            sized->ascent = static_cast<int>((metrics.ascender + 63) >> 6);
            sized->descent = static_cast<int>((-metrics.descender + 63) >> 6);
        }
        return sized;
    }

    static GlyphView ViewOf(const SizedFace& sized, const CachedGlyph& glyph)
    {
        return GlyphView{glyph.advance, glyph.left, glyph.top, glyph.width, glyph.rows, sized.bits.data() + glyph.offset};
    }

    void ForgetGlyphs()
    {
        for (auto& [name, open] : faces_) {
            if (!open)
                continue;
            for (auto& [pixelSize, sized] : open->sizes) {
                if (!sized)
                    continue;
                sized->glyphs.clear();
                sized->bits.clear();
                sized->bits.shrink_to_fit();
            }
        }
        cachedBytes_ = 0;
    }

    MonoGlyph Render(SizedFace& sized, FT_UInt index)
    {
        MonoGlyph glyph;
        FT_Face face = sized.size->face;
        if (FT_Activate_Size(sized.size) != 0)
            return glyph;
        if (FT_Load_Glyph(face, index, FT_LOAD_TARGET_MONO) != 0)
            return glyph;
        FT_GlyphSlot slot = face->glyph;
        glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        if (FT_Render_Glyph(slot, FT_RENDER_MODE_MONO) != 0)
            return glyph;
        glyph.left = slot->bitmap_left;
        glyph.top = slot->bitmap_top;
        CopyBitmap(slot->bitmap, glyph);
        return glyph;
    }

    // Copies a rendered bitmap into one bit per pixel. Embedded bitmaps may
    // come in grey levels; those are converted and cut at half intensity.
    void CopyBitmap(const FT_Bitmap& source, MonoGlyph& glyph)
    {
        const int width = static_cast<int>(source.width);
        const int rows = static_cast<int>(source.rows);
        const int rowBytes = (width + 7) / 8;
        if (width <= 0 || rows <= 0)
            return;
        glyph.bits.assign(static_cast<std::size_t>(rowBytes) * rows, 0);
        glyph.width = width;
        glyph.rows = rows;

        if (source.pixel_mode == FT_PIXEL_MODE_MONO && source.pitch > 0) {
            for (int y = 0; y < rows; ++y)
                std::memcpy(&glyph.bits[static_cast<std::size_t>(y) * rowBytes],
                            source.buffer + static_cast<std::ptrdiff_t>(y) * source.pitch, static_cast<std::size_t>(rowBytes));
            return;
        }
        FT_Bitmap grey;
        FT_Bitmap_Init(&grey);
        if (FT_Bitmap_Convert(library_.get(), &source, &grey, 1) == 0 && grey.pitch > 0 &&
            static_cast<int>(grey.width) == width && static_cast<int>(grey.rows) == rows) {
            const int threshold = grey.num_grays > 1 ? grey.num_grays / 2 : 1;
            for (int y = 0; y < rows; ++y) {
                const unsigned char* from = grey.buffer + static_cast<std::ptrdiff_t>(y) * grey.pitch;
                for (int x = 0; x < width; ++x)
                    if (from[x] >= threshold)
                        glyph.bits[static_cast<std::size_t>(y) * rowBytes + x / 8] |= static_cast<unsigned char>(0x80 >> (x % 8));
            }
        }
        FT_Bitmap_Done(library_.get(), &grey);
    }

    FcConfigPtr config_;
    FtLibraryPtr library_;
    std::unordered_map<std::string, std::unique_ptr<FaceFile>> files_;
    std::unordered_map<std::string, std::unique_ptr<OpenFace>> faces_;
    std::size_t cachedBytes_ = 0;  // of the glyphs of all sized faces
    std::size_t budget_ = kGlyphCacheBytes;
    std::size_t evictions_ = 0;  // times the cache was emptied to stay within budget_
    MonoGlyph uncached_;         // the last glyph too big to cache
};

}  // namespace

std::size_t SetGlyphCacheBudget(std::size_t bytes)
{
    return FontCache::Instance().SetBudget(bytes);
}

std::size_t GlyphCacheEvictions()
{
    return FontCache::Instance().Evictions();
}

std::vector<std::string> ListHangulFaces()
{
    std::vector<std::string> faces;
    FcFontSetPtr fonts = FontCache::Instance().ListKoreanFonts({FC_FAMILY});
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcChar8* family = nullptr;
        if (FcPatternGetString(fonts->fonts[i], FC_FAMILY, 0, &family) == FcResultMatch)
            faces.emplace_back(reinterpret_cast<const char*>(family));
    }
    auto lessIgnoringCase = [](const std::string& a, const std::string& b) {
        const int order = CompareIgnoringCase(a, b);
        return order != 0 ? order < 0 : a < b;
    };
    std::sort(faces.begin(), faces.end(), lessIgnoringCase);
    auto sameIgnoringCase = [](const std::string& a, const std::string& b) { return EqualsIgnoringCase(a, b); };
    faces.erase(std::unique(faces.begin(), faces.end(), sameIgnoringCase), faces.end());
    return faces;
}

struct HangulFont::Impl {
    OpenFace* face = nullptr;    // owned by the cache
    SizedFace* sized = nullptr;  // owned by the cache
};

namespace {

// Sets the glyph's ink pixel by pixel: the plain way, for checking.
void SetGlyphPixels(const MonoGlyph& glyph, long long left, int top, unsigned char* bits, int width, int height,
                    int rowBytes)
{
    const int glyphRowBytes = (glyph.width + 7) / 8;
    for (int y = 0; y < glyph.rows; ++y) {
        const int targetY = top + y;
        if (targetY < 0 || targetY >= height)
            continue;
        const unsigned char* from = &glyph.bits[static_cast<std::size_t>(y) * glyphRowBytes];
        unsigned char* to = bits + static_cast<std::size_t>(targetY) * rowBytes;
        for (int x = 0; x < glyph.width; ++x) {
            if (!(from[x / 8] & (0x80 >> (x % 8))))
                continue;
            const long long targetX = left + x;
            if (targetX >= 0 && targetX < width)
                to[targetX / 8] |= static_cast<unsigned char>(0x80 >> (targetX % 8));
        }
    }
}

}  // namespace

HangulFont::HangulFont(const std::string& faceName, int pixelSize) : impl_(new Impl)
{
    // FreeType takes sizes of 1 to 0xFFFF pixels.
    pixelSize = std::clamp(pixelSize, 1, 0xFFFF);
    FontCache& cache = FontCache::Instance();
    impl_->face = cache.FindFace(faceName);
    if (impl_->face != nullptr)
        impl_->sized = cache.FindSize(impl_->face, pixelSize);
}

HangulFont::~HangulFont()
{
    delete impl_;
}

bool HangulFont::ok() const
{
    return impl_->sized != nullptr;
}

int HangulFont::Ascent() const
{
    return impl_->sized != nullptr ? impl_->sized->ascent : 0;
}

int HangulFont::Descent() const
{
    return impl_->sized != nullptr ? impl_->sized->descent : 0;
}

TextExtent HangulFont::Measure(const std::u32string& text)
{
    TextExtent extent;
    SizedFace* sized = impl_->sized;
    if (sized == nullptr)
        return extent;
    FontCache& cache = FontCache::Instance();
    long long width = 0;
    for (char32_t code : text)
        width += cache.Glyph(*sized, cache.GlyphIndex(*impl_->face, code)).advance;
    // Far more than any bitmap may hold; keeps the sum inside an int.
    extent.width = static_cast<int>(std::min<long long>(width, 0x7FFFFFFF));
    extent.height = sized->ascent + sized->descent;
    return extent;
}

void HangulFont::Draw(const std::u32string& text, unsigned char* bits, int width, int height, int rowBytes)
{
    SizedFace* sized = impl_->sized;
    if (sized == nullptr || bits == nullptr || width <= 0 || height <= 0 || rowBytes * 8 < width)
        return;
    FontCache& cache = FontCache::Instance();
    long long penX = 0;
    for (char32_t code : text) {
        const GlyphView glyph = cache.Glyph(*sized, cache.GlyphIndex(*impl_->face, code));
        // The baseline lies at the ascent.
        BlitGlyph(GlyphBits{glyph.width, glyph.rows, glyph.bits}, penX + glyph.left, sized->ascent - glyph.top, bits,
                  width, height, rowBytes);
        penX += glyph.advance;
    }
}

void HangulFont::DrawUncached(const std::u32string& text, unsigned char* bits, int width, int height, int rowBytes)
{
    SizedFace* sized = impl_->sized;
    if (sized == nullptr || bits == nullptr || width <= 0 || height <= 0 || rowBytes * 8 < width)
        return;
    FontCache& cache = FontCache::Instance();
    long long penX = 0;
    for (char32_t code : text) {
        const MonoGlyph glyph = cache.RenderUncached(*sized, FT_Get_Char_Index(impl_->face->face.get(), code));
        SetGlyphPixels(glyph, penX + glyph.left, sized->ascent - glyph.top, bits, width, height, rowBytes);
        penX += glyph.advance;
    }
}

void HangulFont::DrawScaledLayout(const HangulFont& layout, int scale, const std::u32string& text, unsigned char* bits,
                                  int width, int height, int rowBytes)
{
    SizedFace* sized = impl_->sized;
    SizedFace* layoutSized = layout.impl_->sized;
    if (sized == nullptr || layoutSized == nullptr || bits == nullptr || width <= 0 || height <= 0 ||
        rowBytes * 8 < width)
        return;
    FontCache& cache = FontCache::Instance();
    const int baseline = scale * layoutSized->ascent;
    long long layoutPenX = 0;
    for (char32_t code : text) {
        // The advance is taken first: a glyph view lasts only until the next
        // glyph is asked for.
        const int layoutAdvance = cache.Glyph(*layoutSized, cache.GlyphIndex(*layout.impl_->face, code)).advance;
        const GlyphView glyph = cache.Glyph(*sized, cache.GlyphIndex(*impl_->face, code));
        BlitGlyph(GlyphBits{glyph.width, glyph.rows, glyph.bits}, scale * layoutPenX + glyph.left, baseline - glyph.top,
                  bits, width, height, rowBytes);
        layoutPenX += layoutAdvance;
    }
}

std::vector<FaceFileName> ListFamilyFaceFiles(const std::string& faceName)
{
    std::vector<FaceFileName> files;
    FontCache& cache = FontCache::Instance();
    const std::string key = Lowered(faceName);
    const FaceFile* chosen = cache.LocateFile(key);
    if (chosen == nullptr)
        return files;
    files.push_back({chosen->path, chosen->index});
    FcFontSetPtr fonts = cache.ListKoreanFonts({FC_FAMILY, FC_FILE, FC_INDEX, FC_SLANT});
    std::vector<FaceFileName> others;
    for (int i = 0; fonts && i < fonts->nfont; ++i) {
        FcPattern* font = fonts->fonts[i];
        FcChar8* family = nullptr;
        FcChar8* file = nullptr;
        int index = 0, slant = FC_SLANT_ROMAN;
        if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch ||
            FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch ||
            Lowered(reinterpret_cast<const char*>(family)) != key)
            continue;
        FcPatternGetInteger(font, FC_INDEX, 0, &index);
        FcPatternGetInteger(font, FC_SLANT, 0, &slant);
        const std::string path = reinterpret_cast<const char*>(file);
        if (slant == FC_SLANT_ROMAN && !(path == chosen->path && index == chosen->index))
            others.push_back({path, index});
    }
    std::sort(others.begin(), others.end(), [](const FaceFileName& a, const FaceFileName& b) {
        return a.path != b.path ? a.path < b.path : a.index < b.index;
    });
    others.erase(std::unique(others.begin(), others.end(),
                             [](const FaceFileName& a, const FaceFileName& b) { return a.path == b.path && a.index == b.index; }),
                 others.end());
    files.insert(files.end(), others.begin(), others.end());
    return files;
}

}  // namespace sylpic
