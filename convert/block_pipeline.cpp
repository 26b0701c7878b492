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
            if (!PutDoubled(fileName, key, false))
                return false;
            MakeTag(fileName, false);
            return true;
        }
        if (g_imageName.fixed && keyLength != 0)
            errorTotal += CheckReplacedImage(key, keyLength);
    }

    // Draw, encode and write; then the tag.
    if (!WriteImage(key, fileName) || !PutDoubled(fileName, key, true))
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
    const std::string* earlier = FindRunTag(path);
    if (watch_ != nullptr) {
        const std::string bytes = GlyphBytesOfKey(held);
        const auto* glyphs = reinterpret_cast<const unsigned char*>(bytes.data());
        std::string text;
        for (char32_t c : g_bUnicodeMode ? DecodeUnicodeGlyphs(glyphs, bytes.size()) : DecodeNarrowGlyphs(glyphs, bytes.size()))
            AppendUtf8(c, text);
        std::string detail = "replaces hanimg/" + std::string(fileName) + ", which showed \"" + text + "\"";
        if (earlier != nullptr)
            detail += " for the block at " + *earlier;
        watch_->ReportReplacedImage(earlier != nullptr, detail);
    }
    return earlier != nullptr ? 1 : 0;
}

// Where the block stands, for the tags of the run: its page, with its line
// and column when they are counted.
std::string BlockPipeline::Where() const
{
    std::string where = job_.sourcePath;
    if (watch_ != nullptr)
        where += ":" + std::to_string(watch_->Start().line) + ":" + std::to_string(watch_->Start().column);
    return where;
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
    std::snprintf(fileName, kMaxPath, "%s", found + std::strlen(job_.imageDir));
    return true;
}

BlockImage BlockPipeline::Image(const char* key) const
{
    const ConversionSettings& settings = job_.settings;
    return {{settings.fontName, settings.fontSize, settings.dpi},
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
    if (!ReportImageWrite(job_.log, format_, status, writer_.Png()))
        return false;
    ++job_.createdCount;
    NoteImageWritten(job_.imageDir, place.fileName, writer_.Encoded(), format_);
    std::snprintf(fileName, kMaxPath, "%s", place.fileName);
    return true;
}

// With 2x images on, the 2x image beside the block's 1x image.
bool BlockPipeline::PutDoubled(const char* fileName, const char* key, bool oneXWritten)
{
    if (!WithDoubled())
        return true;
    return PutDoubledImage(job_, doubledWriter_, Image(key), fileName, oneXWritten);
}

// The tag of the block's image, with no line break: only the source unless
// the settings ask for more.
void BlockPipeline::MakeTag(const char* fileName, bool drawnNow)
{
    // Only the first tag of an image is kept: its place is formatted once.
    const std::string path = std::string(job_.imageDir) + fileName;
    if (FindRunTag(path) == nullptr)
        NoteRunTag(path, Where());
    ImageTag tag(fileName);
    if (job_.settings.altText)
        tag.AddAlt(BuildAltText(g_glyphString, g_bUnicodeMode, job_.encoding));
    if (job_.settings.dimensions)
        AddDimensions(tag, fileName, drawnNow);
    if (WithDoubled()) {
        // The 2x image comes last: srcset="./hanimg/2x/<file> 2x".
        tag.AddAttribute("srcset", std::string("./hanimg/") + kDoubledImageFolder + fileName + " 2x");
    }
    tag_ = tag.Finish();
    ++job_.imageCount;
}

// The image's size as its file records it: for an image drawn now, from the
// bytes just written; for one found again, from its file. The rows below the
// baseline come from the face's metrics either way.
void BlockPipeline::AddDimensions(ImageTag& tag, const char* fileName, bool drawnNow)
{
    ImageSize size;
    const ByteBuffer& encoded = writer_.Encoded();
    const bool sized = drawnNow ? ReadImageSize(encoded.data(), encoded.size(), format_, size)
                                : ImageFolderImageSize(job_.imageDir, fileName, format_, size);
    if (sized)
        tag.AddSize(size);
    if (!fontLinesMeasured_) {
        fontLinesKnown_ = MeasureFontLines({job_.settings.fontName, job_.settings.fontSize, job_.settings.dpi}, fontLines_);
        fontLinesMeasured_ = true;
    }
    if (fontLinesKnown_)
        tag.AddRowsBelowBaseline(fontLines_.descent);
}
