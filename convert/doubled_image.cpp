#include "convert/doubled_image.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "convert/image_reuse.h"
#include "convert/staged_file.h"
#include "convert/whole_image_file.h"
#include "imaging/gif_writer.h"
#include "imaging/png_writer.h"
#include "imaging/rasterizer.h"
#include "res/messages.h"

namespace {

bool Fail(PageJob& job, int message)
{
    job.log.LogMessage(message, true, true);
    return false;
}

// True when the 2x image at `path` carries `comment` and the page's colours,
// and is whole.
bool IsCurrent(const char* path, const char* comment, ImageFormat format, const unsigned char* colours)
{
    char text[260];
    unsigned char stored[kColourPairBytes];
    const int length = format == kFormatPng ? ReadPngKey(path, text, stored) : ReadGifKey(path, text, stored);
    return length == static_cast<int>(std::strlen(comment)) && std::strcmp(text, comment) == 0 &&
           std::memcmp(stored, colours, sizeof stored) == 0 && IsWholeImageFile(path, format);
}

// True when the 2x image at `path` is exactly twice the 1x image
// `fileName` of the image folder.
bool FitsItsImage(PageJob& job, const char* path, const char* fileName)
{
    ImageSize doubled;
    ImageSize single;
    return ReadImageFileSize(path, job.settings.format, doubled) &&
           ImageFolderImageSize(job.imageDir, fileName, job.settings.format, single) && IsTwiceTheSize(doubled, single);
}

// Draws and encodes the 2x image into `encoded`. A PNG that libpng refuses
// shows libpng's box, as a 1x image does.
bool DrawAndEncode(PageJob& job, const DoubledImageSource& source, const char* comment, ByteBuffer& encoded)
{
    const ConversionSettings& settings = job.settings;
    GlyphBitmap bitmap;
    const FontChoice font{settings.fontName, settings.fontSize, settings.dpi};
    switch (RasterizeGlyphsDoubled(font, source.glyphs, source.glyphRoom, source.unicodeMode, bitmap)) {
    case RasterResult::kDrawn: break;
    case RasterResult::kNoMemory: return Fail(job, IDS_NO_MEMORY);
    default: return Fail(job, IDS_FONT_FAILED);
    }
    const ImageStyle style{job.colours, settings.transparent, comment};
    if (settings.format == kFormatPng) {
        PngStatus status;
        if (EncodePng(bitmap.View(), style, encoded, status) == 0)
            return true;
        job.log.ShowMessageBox(FormatSaveFailure(status.code, status.message));
        return Fail(job, IDS_CANNOT_CREATE);
    }
    // A GIF records its sides in 16 bits: a 1x image 32768 pixels wide has
    // no 2x GIF, and that is a failure to write it.
    return EncodeGif(bitmap.View(), style, encoded) == 0 || Fail(job, IDS_CANNOT_CREATE);
}

}  // namespace

bool PutDoubledImage(PageJob& job, const DoubledImageSource& source, bool oneXWritten)
{
    const std::string folder = std::string(job.imageDir) + kDoubledImageFolder;
    const std::string path = folder + source.fileName;
    if (path.size() >= static_cast<std::size_t>(kMaxPath))
        return Fail(job, IDS_CANNOT_CREATE);  // no longer than any other image path
    char comment[kMaxImageKey + sizeof kDoubledKeyMarker];
    std::snprintf(comment, sizeof comment, "%s%s", source.key, kDoubledKeyMarker);

    if (!oneXWritten && IsCurrent(path.c_str(), comment, job.settings.format, job.colours) &&
        FitsItsImage(job, path.c_str(), source.fileName))
        return true;

    ByteBuffer encoded;
    if (!DrawAndEncode(job, source, comment, encoded))
        return false;
    // The folder is made on first need; where it cannot be, the staged file
    // cannot be opened in it, and the image is not written.
    mkdir(folder.c_str(), 0777);
    StagedFile image;
    if (image.Open(path, ".sylpic-image-") && image.WriteAll(encoded.data(), encoded.size()) && image.Commit())
        return true;
    if (job.settings.format == kFormatPng)
        job.log.ShowMessageBox(FormatSaveFailure(3, "Write Error"));
    return Fail(job, IDS_CANNOT_CREATE);
}
