#include "convert/block_pipeline.h"

#include <cstdio>
#include <cstring>

#include "convert/alt_text.h"
#include "convert/html_text.h"
#include "convert/doubled_image.h"
#include "convert/image_name.h"
#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "convert/image_tag.h"
#include "convert/run_tags.h"
#include "hangul/utf8_text.h"
#include "hangul/block_buffers.h"
#include "hangul/block_parser.h"
#include "hangul/glyph_text.h"
#include "imaging/image_size.h"

namespace sylpic {

bool BlockPipeline::Run(int& errorTotal, RealTextPlace place)
{
    tag_.clear();
    // Name: from the directive, else from the block's characters as they
    // are parsed.
    const int blockErrors = Parse();
    errorTotal += blockErrors;
    if (g_glyphString.length == 0)
        return true;  // nothing to draw: the block vanishes from the page
    g_imageName.Settle();
    g_glyphString.Terminate(g_bUnicodeMode);

    // Real text: the name directive was read and names no file.
    if (job_.realText != nullptr) {
        TakeRealText(place);
        return true;
    }

    // Key and reuse: GIF and PNG only.
    char key[kImageKeyBytes] = "";
    char fileName[kMaxPath];
    if (format_ != kFormatXbm) {
        const ConversionSettings& settings = job_.settings;
        const int keyLength = MakeImageKey(settings.fontName, settings.fontSize, settings.transparent,
                                           g_glyphString.bytes, g_glyphString.KeyLength(g_bUnicodeMode), key);
        if (!g_imageName.fixed && keyLength != 0 && blockErrors == 0 && FindReusedImage(key, keyLength, fileName)) {
            const ImageDrawing drawing = DrawingOfReused(fileName);
            bool doubledStands = false;
            if (!PutDoubled(fileName, key, false, drawing, doubledStands))
                return false;
            if (!drawing.known && watch_ != nullptr)
                WarnUnknownDrawing(fileName, doubledStands);
            MakeTag(fileName, false, drawing, doubledStands);
            return true;
        }
        if (g_imageName.fixed && keyLength != 0)
            errorTotal += CheckReplacedImage(key, keyLength);
    }

    // Draw, encode and write; then the tag.
    bool doubledStands = false;
    if (!WriteImage(key, fileName) || !PutDoubled(fileName, key, true, {}, doubledStands))
        return false;
    MakeTag(fileName, true);
    return true;
}

// The block parser fills the glyph string and hands every character to the
// image name.
int BlockPipeline::Parse()
{
    BlockReport report;
    const int blockErrors = ParseBlock(AddToImageName, watch_ != nullptr ? &report : nullptr);
    if (watch_ != nullptr)
        watch_->ReportClosed(report);
    return blockErrors;
}

// A fixed name may stand on an image of other text, which other tags may
// show: it is still replaced, with a warning that names it and what it
// showed, and an error when a tag written earlier in this run shows it.
// Returns the errors it adds (0 or 1).
int BlockPipeline::CheckReplacedImage(const char* key, int keyLength)
{
    char fileName[kMaxPath];
    g_imageName.FileName(0, extension_, fileName, sizeof fileName);
    const std::string path = std::string(job_.imageDir) + fileName;
    char held[kReadKeyBytes];
    unsigned char colours[kColourPairBytes];
    const int heldLength =
        format_ == kFormatPng ? ReadPngKey(path.c_str(), held, colours) : ReadGifKey(path.c_str(), held, colours);
    if (heldLength <= 0 || (heldLength == keyLength && std::memcmp(held, key, static_cast<std::size_t>(keyLength)) == 0))
        return 0;
    const std::optional<std::string> earlier = FindRunTag(job_.imageDir, fileName);
    if (watch_ != nullptr) {
        const std::string bytes = GlyphBytesOfKey(held);
        const auto* glyphs = reinterpret_cast<const unsigned char*>(bytes.data());
        std::string text;
        for (char32_t c : g_bUnicodeMode ? DecodeUnicodeGlyphs(glyphs, bytes.size()) : DecodeNarrowGlyphs(glyphs, bytes.size()))
            AppendUtf8(c, text);
        std::string detail = "replaces hanimg/" + std::string(fileName) + ", which showed \"" + text + "\"";
        if (earlier)
            detail += " for the block at " + *earlier;
        watch_->ReportReplacedImage(earlier.has_value(), detail);
    }
    return earlier ? 1 : 0;
}

// Real text: the block's text in place of an image. The first reading of
// the page collects its characters for the page's font; the second writes
// the markup, the font's style before the first span when no "</head>"
// took it.
void BlockPipeline::TakeRealText(RealTextPlace place)
{
    RealTextPage& page = *job_.realText;
    const std::u32string shown = ShownCharacters(DecodeGlyphString(g_glyphString, g_bUnicodeMode));
    if (!page.writing) {
        page.codePoints.insert(shown.begin(), shown.end());
        page.spans += place == RealTextPlace::kSpan;
        return;
    }
    if (place == RealTextPlace::kSpan) {
        if (!page.styleWritten) {
            tag_ = page.style;
            page.styleWritten = true;
        }
        ++job_.imageCount;
    }
    tag_ += RealTextMarkup(shown, job_.encoding, place);
}

// An image of this base name with the same key and colours, named in
// `fileName` exactly as it stands in the folder.
bool BlockPipeline::FindReusedImage(const char* key, int keyLength, char* fileName)
{
    char found[kMaxPath] = "";
    FindReusableImage(job_.imageDir, g_imageName.base, key, keyLength, job_.colours, found, format_);
    if (found[0] == '\0')
        return false;
    const char* name = found + std::strlen(job_.imageDir);
    std::memcpy(fileName, name, std::strlen(name) + 1);  // shorter than the path it ends
    return true;
}

BlockImage BlockPipeline::Image(const char* key, int emPixels) const
{
    const ConversionSettings& settings = job_.settings;
    return {{settings.fontName, settings.fontSize, settings.dpi, emPixels},
            g_glyphString.bytes,
            g_glyphString.DrawnRoom(),
            g_bUnicodeMode,
            format_,
            {job_.colours, settings.transparent, key}};
}

// The block's 1x image, under the name the write policy gives it in
// `fileName`.
bool BlockPipeline::WriteImage(const char* key, char* fileName)
{
    ImagePlace place{job_.imageDir, &g_imageName, extension_};
    const ImageWriteStatus status = writer_.Write(Image(key), 1, place);
    if (!ReportImageWrite(job_.log, format_, status, writer_))
        return false;
    ++job_.createdCount;
    NoteImageWritten(job_.imageDir, place.fileName, writer_.Encoded(), format_);
    std::snprintf(fileName, kMaxPath, "%s", place.fileName);
    return true;
}

// With 2x images on, the 2x image beside the block's 1x image, drawn at
// twice the em the 1x image was drawn at; `doubledStands` says whether the
// tag may offer it.
bool BlockPipeline::PutDoubled(const char* fileName, const char* key, bool oneXWritten, const ImageDrawing& drawing,
                               bool& doubledStands)
{
    doubledStands = false;
    if (!WithDoubled())
        return true;
    return PutDoubledImage(job_, doubledWriter_, Image(key, drawing.emPixels), fileName, oneXWritten, drawing.known,
                           doubledStands);
}

// The face's lines at the settings' size and resolution, measured once per
// page; null when the face cannot be opened.
const FontLines* BlockPipeline::CurrentFontLines()
{
    if (!fontLinesMeasured_) {
        fontLinesKnown_ = MeasureFontLines({job_.settings.fontName, job_.settings.fontSize, job_.settings.dpi},
                                           fontLines_) == ImagingStatus::kOk;
        fontLinesMeasured_ = true;
    }
    return fontLinesKnown_ ? &fontLines_ : nullptr;
}

// The em a reused image was drawn at, where its 2x image or its offset
// needs it. An image as high as the face's line at the settings' em was
// drawn at that em, as nearly every reused image is, and costs no search;
// one drawn at another resolution is drawn at the em whose line is its
// height (and whose advances are its width).
ImageDrawing BlockPipeline::DrawingOfReused(const char* fileName)
{
    ImageDrawing drawing;
    if (!WithDoubled() && !job_.settings.dimensions)
        return drawing;
    ImageSize size;
    const FontLines* lines = CurrentFontLines();
    if (lines == nullptr || !ImageFolderImageSize(job_.imageDir, fileName, format_, size) ||
        size.height == lines->ascent + lines->descent)
        return drawing;
    drawing.emPixels = FindImageEmPixels(job_.settings.fontName, g_glyphString.bytes, g_glyphString.DrawnRoom(),
                                         g_bUnicodeMode, size.width, size.height);
    drawing.known = drawing.emPixels != 0;
    return drawing;
}

// A reused image that no em of the face draws: what its tag goes without.
void BlockPipeline::WarnUnknownDrawing(const char* fileName, bool doubledStands)
{
    ImageSize size;
    ImageFolderImageSize(job_.imageDir, fileName, format_, size);
    std::string lost;
    if (WithDoubled() && !doubledStands)
        lost = "no 2x image is made for it";
    if (job_.settings.dimensions)
        lost += std::string(lost.empty() ? "" : ", and ") + "its tag has no baseline offset";
    if (lost.empty())
        return;
    watch_->ReportUnknownDrawing("reuses hanimg/" + std::string(fileName) + ", " + std::to_string(size.width) + "x" +
                                 std::to_string(size.height) +
                                 ", which no size of the face draws so (it was drawn at another resolution, or by "
                                 "another version of the face): " +
                                 lost + "; delete the image to have it drawn again");
}

// The tag of the block's image, with no line break: only the source unless
// the settings ask for more.
void BlockPipeline::MakeTag(const char* fileName, bool drawnNow, const ImageDrawing& drawing, bool doubledStands)
{
    // Only a GIF or PNG image can be replaced with a warning, and only the
    // first tag of an image is kept.
    if (format_ == kFormatGif || format_ == kFormatPng)
        NoteRunTag(job_.imageDir, fileName, job_.sourcePath, watch_ != nullptr ? watch_->Start().line : 0,
                   watch_ != nullptr ? watch_->Start().column : 0);
    ImageTag tag(fileName);
    if (job_.settings.altText)
        tag.AddAlt(BuildAltText(g_glyphString, g_bUnicodeMode, job_.encoding));
    if (job_.settings.dimensions)
        AddDimensions(tag, fileName, drawnNow, drawing);
    if (WithDoubled() && doubledStands) {
        // The 2x image comes last: srcset="./hanimg/2x/<file> 2x".
        tag.AddAttribute("srcset", std::string("./hanimg/") + kDoubledImageFolder + fileName + " 2x");
    }
    tag.Finish(tag_);
    ++job_.imageCount;
}

// The image's size as its file records it: for an image drawn now, from the
// bytes just written; for one found again, from its file. The rows below the
// baseline come from the face's metrics either way.
void BlockPipeline::AddDimensions(ImageTag& tag, const char* fileName, bool drawnNow, const ImageDrawing& drawing)
{
    ImageSize size;
    const ByteBuffer& encoded = writer_.Encoded();
    const bool sized = drawnNow ? ReadImageSize(encoded.data(), encoded.size(), format_, size)
                                : ImageFolderImageSize(job_.imageDir, fileName, format_, size);
    if (sized)
        tag.AddSize(size);
    if (!drawing.known)
        return;  // drawn at an em that no size gives: the offset is not known
    if (drawing.emPixels != 0) {
        // Drawn at another resolution: its rows below the baseline are the
        // face's at the em it was drawn at.
        const ConversionSettings& settings = job_.settings;
        FontLines lines;
        if (MeasureFontLines({settings.fontName, settings.fontSize, settings.dpi, drawing.emPixels}, lines) ==
            ImagingStatus::kOk)
            tag.AddRowsBelowBaseline(lines.descent);
        return;
    }
    if (const FontLines* lines = CurrentFontLines())
        tag.AddRowsBelowBaseline(lines->descent);
}

}  // namespace sylpic
