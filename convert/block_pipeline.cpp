#include "convert/block_pipeline.h"

#include <cstdio>
#include <cstring>

#include "convert/alt_text.h"
#include "convert/html_text.h"
#include "convert/doubled_image.h"
#include "convert/image_name.h"
#include "convert/image_reuse.h"
#include "convert/image_tag.h"
#include "convert/staged_file.h"
#include "hangul/block_buffers.h"
#include "hangul/block_parser.h"
#include "hangul/glyph_text.h"
#include "imaging/gif_writer.h"
#include "imaging/image_size.h"
#include "imaging/png_writer.h"
#include "imaging/xbm_writer.h"
#include "res/messages.h"

bool BlockPipeline::Fail(int message)
{
    job_.log.LogMessage(message, true, true);
    return false;
}

// The image's size as its file records it: for an image drawn now, from the
// bytes just written; for one found again, from its file. The rows below the
// baseline come from the face's metrics either way.
void BlockPipeline::AddDimensions(ImageTag& tag, const char* fileName, bool drawnNow)
{
    ImageSize size;
    const bool sized = drawnNow ? ReadImageSize(encoded_.data(), encoded_.size(), format_, size)
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

// The tag of the block's image, with no line break: only the source unless
// the settings ask for more.
void BlockPipeline::WriteImageTag(const char* fileName, bool drawnNow)
{
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

// With 2x images on, the 2x image beside the block's 1x image.
bool BlockPipeline::PutDoubled(const char* fileName, const char* key, bool oneXWritten)
{
    if (!WithDoubled())
        return true;
    const DoubledImageSource source{fileName, key, g_glyphString.bytes, sizeof g_glyphString.bytes, g_bUnicodeMode};
    return PutDoubledImage(job_, source, oneXWritten);
}

// An image of this base name with the same key and colours, named in
// `fileName` exactly as it stands in the folder.
bool BlockPipeline::FindReusedImage(const char* key, int keyLength, char* fileName)
{
    char found[kMaxPath] = "";
    FindReusableImage(job_.imageDir, g_szImageBaseName, key, keyLength, job_.colours, found, format_);
    if (found[0] == '\0')
        return false;
    std::snprintf(fileName, kMaxPath, "%s", found + std::strlen(job_.imageDir));
    return true;
}

bool BlockPipeline::Draw()
{
    const FontChoice font{job_.settings.fontName, job_.settings.fontSize, job_.settings.dpi};
    switch (RasterizeGlyphs(font, g_glyphString.bytes, sizeof g_glyphString.bytes, g_bUnicodeMode, bitmap_)) {
    case RasterResult::kDrawn: return true;
    case RasterResult::kNoMemory: return Fail(IDS_NO_MEMORY);
    default: return Fail(IDS_FONT_FAILED);
    }
}

// Encodes the drawn bitmap into encoded_ and frees it. A PNG that libpng
// refuses shows libpng's box, as a failed save does.
bool BlockPipeline::Encode(const char* fileName, const char* key)
{
    encoded_.clear();
    const ImageStyle style{job_.colours, job_.settings.transparent, key};
    int result = 0;
    if (format_ == kFormatXbm) {
        // The XBM symbol is the file name, extension included, cut to 8.
        char xbmName[9] = {};
        std::strncpy(xbmName, fileName, 8);
        result = EncodeXbm(bitmap_.View(), xbmName, encoded_);
    } else if (format_ == kFormatPng) {
        PngStatus status;
        result = EncodePng(bitmap_.View(), style, encoded_, status);
        if (result != 0)
            job_.log.ShowMessageBox(FormatSaveFailure(status.code, status.message));
    } else {
        result = EncodeGif(bitmap_.View(), style, encoded_);
    }
    bitmap_.Free();
    return result == 0;
}

// One write of the whole image. A short image could hold a whole key and be
// reused for ever, so a failed write leaves nothing; a PNG whose write fails
// shows the box of a failed save.
bool BlockPipeline::WriteImageFile(StagedFile& image)
{
    if (image.WriteAll(encoded_.data(), encoded_.size()) && image.Commit()) {
        ++job_.createdCount;
        return true;
    }
    image.Discard();
    if (format_ == kFormatPng)
        job_.log.ShowMessageBox(FormatSaveFailure(3, "Write Error"));
    return Fail(IDS_CANNOT_CREATE);
}

// The first free name: name.gif, name1.gif, name2.gif, ... A name is free
// when the folder has no entry of that name and the image can be created
// under it without replacing anything: another process may have taken it
// since the folder was read, and then the next name is tried. A fixed name
// replaces its file through a staged file, so the last good image survives
// a failed rewrite. A path that does not fit cannot be created.
bool BlockPipeline::WriteNewImage(const char* key)
{
    char fileName[kMaxPath];
    char imagePath[kMaxPath];
    StagedFile image;
    // The names before the first free one are all taken: start there.
    for (int n = g_bFixedName ? 0 : FirstFreeImageNumber(job_.imageDir, g_szImageBaseName, extension_);; ++n) {
        if (n == 0)
            std::snprintf(fileName, sizeof fileName, "%s.%s", g_szImageBaseName, extension_);
        else
            std::snprintf(fileName, sizeof fileName, "%s%d.%s", g_szImageBaseName, n, extension_);
        const int length = std::snprintf(imagePath, sizeof imagePath, "%s%s", job_.imageDir, fileName);
        if (length < 0 || length >= kMaxPath)
            return Fail(IDS_CANNOT_CREATE);
        if (g_bFixedName) {
            if (!Encode(fileName, key) || !image.Open(imagePath, ".sylpic-image-"))
                return Fail(IDS_CANNOT_CREATE);
            break;
        }
        if (!ImageFolderHas(job_.imageDir, fileName)) {
            bool taken = false;
            if (image.OpenNew(imagePath, &taken)) {
                if (!Encode(fileName, key)) {
                    image.Discard();
                    return Fail(IDS_CANNOT_CREATE);
                }
                break;
            }
            if (!taken)
                return Fail(IDS_CANNOT_CREATE);
            NoteImageWritten(job_.imageDir, fileName);  // someone else's now
        }
    }
    if (!WriteImageFile(image))
        return false;
    NoteImageWritten(job_.imageDir, fileName);
    if (!PutDoubled(fileName, key, true))
        return false;
    WriteImageTag(fileName, true);
    return true;
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

bool BlockPipeline::Run(int& errorTotal, RealTextPlace place)
{
    tag_.clear();
    // The name was emptied at "[[", so a name now came from a directive.
    g_bFixedName = g_szImageBaseName[0] != '\0';

    BlockReport report;
    const int blockErrors = ParseBlock(AddToImageName, watch_ != nullptr ? &report : nullptr);
    errorTotal += blockErrors;
    if (watch_ != nullptr)
        watch_->ReportClosed(report);

    if (g_glyphString.length == 0)
        return true;  // nothing to draw: the block vanishes from the page

    if (g_szImageBaseName[0] == '\0') {
        std::strcpy(g_szImageBaseName, "_");
        g_bFixedName = false;
    }
    if (IsReservedName(g_szImageBaseName))
        std::strcat(g_szImageBaseName, "_");

    // Terminate the glyph string; in Unicode mode the length then counts the
    // first of the two zero bytes, so the key ends in "00".
    g_glyphString.bytes[g_glyphString.length] = 0;
    if (g_bUnicodeMode) {
        ++g_glyphString.length;
        g_glyphString.bytes[g_glyphString.length] = 0;
    }

    // Real text reads the name directive but names no file.
    if (job_.realText != nullptr) {
        TakeRealText(place);
        return true;
    }

    char key[256] = "";
    if (format_ != kFormatXbm) {
        const ConversionSettings& settings = job_.settings;
        const int keyLength = MakeImageKey(settings.fontName, settings.fontSize, settings.transparent,
                                           g_glyphString.bytes, g_glyphString.length, key);
        char fileName[kMaxPath];
        if (!g_bFixedName && keyLength != 0 && blockErrors == 0 && FindReusedImage(key, keyLength, fileName)) {
            if (!PutDoubled(fileName, key, false))
                return false;
            WriteImageTag(fileName, false);
            return true;
        }
    }

    if (!Draw())
        return false;
    return WriteNewImage(key);
}

