#include "convert/image_writer.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "convert/image_folder_view.h"
#include "convert/staged_file.h"
#include "imaging/gif_writer.h"
#include "imaging/xbm_writer.h"
#include "res/messages.h"

namespace {

// The text of a PNG that did not reach its file whole, beside the code
// kPngLibraryError.
constexpr char kPngWriteErrorText[] = "Write Error";

ImageWriteStatus FromRaster(RasterResult result)
{
    switch (result) {
    case RasterResult::kDrawn: return ImageWriteStatus::kWritten;
    case RasterResult::kNoMemory: return ImageWriteStatus::kNoMemory;
    default: return ImageWriteStatus::kFontFailed;
    }
}

}  // namespace

ImageWriteStatus EncodeImage(const GlyphBitmapView& bitmap, ImageFormat format, const ImageStyle& style,
                             const char* xbmName, ByteBuffer& out, PngStatus& png)
{
    int result = 0;
    if (format == kFormatXbm)
        result = EncodeXbm(bitmap, xbmName, out);
    else if (format == kFormatPng)
        result = EncodePng(bitmap, style, out, png);
    else
        result = EncodeGif(bitmap, style, out);
    return result == 0 ? ImageWriteStatus::kWritten : ImageWriteStatus::kEncodeFailed;
}

ImageWriteStatus ImageWriter::Draw(const BlockImage& image, int scale)
{
    const RasterResult result =
        scale == 2 ? RasterizeGlyphsDoubled(image.font, image.glyphs, image.glyphRoom, image.unicodeMode, bitmap_)
                   : RasterizeGlyphs(image.font, image.glyphs, image.glyphRoom, image.unicodeMode, bitmap_);
    return FromRaster(result);
}

// Encodes the drawn bitmap into encoded_ and frees it.
ImageWriteStatus ImageWriter::Encode(const BlockImage& image, const char* fileName)
{
    encoded_.clear();
    png_ = PngStatus();
    // The XBM symbol is the file name, extension included, cut to 8.
    char xbmName[9] = {};
    std::strncpy(xbmName, fileName, 8);
    const ImageWriteStatus status = EncodeImage(bitmap_.View(), image.format, image.style, xbmName, encoded_, png_);
    bitmap_.Free();
    return status;
}

// The write policy. A fixed name is encoded and then staged; a free name is
// the first one the folder view does not have that can be created without
// replacing anything (another process may have taken it since the folder
// was read, and then the next name is tried), and is encoded once created.
// A path that does not fit cannot be created.
ImageWriteStatus ImageWriter::OpenImageFile(const BlockImage& image, int scale, ImagePlace& place, StagedFile& file)
{
    const bool fixed = place.name == nullptr || place.name->fixed;
    char imagePath[kMaxPath];
    // The names before the first free one are all taken: start there.
    for (int n = fixed ? 0 : FirstFreeImageNumber(place.folder, place.name->base, place.extension);; ++n) {
        if (place.name != nullptr)
            place.name->FileName(n, place.extension, place.fileName, sizeof place.fileName);
        const int length = std::snprintf(imagePath, sizeof imagePath, "%s%s", place.folder, place.fileName);
        if (length < 0 || length >= kMaxPath)
            return ImageWriteStatus::kCannotCreate;
        if (fixed) {
            const ImageWriteStatus encoded = Encode(image, place.fileName);
            if (encoded != ImageWriteStatus::kWritten)
                return encoded;
            if (scale == 2) {
                // The 2x folder is made on first need; where it cannot be,
                // the staged file cannot be opened in it, and that counts
                // as a failed write of the 2x image.
                mkdir(place.folder, 0777);
                return file.Open(imagePath, kStagedImagePrefix) ? ImageWriteStatus::kWritten
                                                                : ImageWriteStatus::kWriteFailed;
            }
            return file.Open(imagePath, kStagedImagePrefix) ? ImageWriteStatus::kWritten
                                                            : ImageWriteStatus::kCannotCreate;
        }
        if (!ImageFolderHas(place.folder, place.fileName)) {
            bool taken = false;
            if (file.OpenNew(imagePath, &taken)) {
                const ImageWriteStatus encoded = Encode(image, place.fileName);
                if (encoded != ImageWriteStatus::kWritten)
                    file.Discard();
                return encoded;
            }
            if (!taken)
                return ImageWriteStatus::kCannotCreate;
            NoteImageWritten(place.folder, place.fileName);  // someone else's now
        }
    }
}

ImageWriteStatus ImageWriter::Write(const BlockImage& image, int scale, ImagePlace& place)
{
    ImageWriteStatus status = Draw(image, scale);
    if (status != ImageWriteStatus::kWritten)
        return status;
    StagedFile file;
    status = OpenImageFile(image, scale, place, file);
    bitmap_.Free();
    if (status != ImageWriteStatus::kWritten)
        return status;
    if (file.WriteAll(encoded_.data(), encoded_.size()) && file.Commit())
        return ImageWriteStatus::kWritten;
    file.Discard();
    return ImageWriteStatus::kWriteFailed;
}

void ShowImageWriteBox(ConversionLog& log, ImageFormat format, ImageWriteStatus status, const PngStatus& png)
{
    if (format != kFormatPng ||
        (status != ImageWriteStatus::kEncodeFailed && status != ImageWriteStatus::kWriteFailed))
        return;
    // libpng's own status when it refused the image; else the bytes did not
    // reach their file.
    const bool refused = status == ImageWriteStatus::kEncodeFailed;
    log.ShowMessageBox(FormatSaveFailure(refused ? png.code : kPngLibraryError,
                                         refused ? png.message : kPngWriteErrorText));
}

bool ReportImageWrite(ConversionLog& log, ImageFormat format, ImageWriteStatus status, const PngStatus& png)
{
    switch (status) {
    case ImageWriteStatus::kWritten: return true;
    case ImageWriteStatus::kFontFailed: log.LogMessage(IDS_FONT_FAILED, true, true); return false;
    case ImageWriteStatus::kNoMemory: log.LogMessage(IDS_NO_MEMORY, true, true); return false;
    default: break;
    }
    ShowImageWriteBox(log, format, status, png);
    log.LogMessage(IDS_CANNOT_CREATE, true, true);
    return false;
}
