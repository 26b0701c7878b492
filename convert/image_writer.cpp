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

// Encodes the drawn bitmap into encoded_ (for `fileName`: an XBM's symbol
// is its name); Write frees the bitmap once the image is written.
ImageWriteStatus ImageWriter::Encode(const BlockImage& image, const char* fileName)
{
    encoded_.clear();
    png_ = PngStatus();
    // The XBM symbol is the file name, extension included, cut to 8.
    char xbmName[9] = {};
    std::strncpy(xbmName, fileName, 8);
    return EncodeImage(bitmap_.View(), image.format, image.style, xbmName, encoded_, png_);
}

// The write policy. Every image is written whole into a staged file beside
// its name and only then takes the name, so a cut or killed write never
// leaves a short image under it. A fixed name is replaced; a free name is
// the first one the folder view does not have that takes the file without
// replacing anything: another process may have taken it since the folder
// was read, and then the image is encoded again for the next name (an XBM
// names its symbol after its file). Where the file system can neither
// rename without replacing nor link, the free name is created exclusively
// and written in place. A path that does not fit cannot be created.
ImageWriteStatus ImageWriter::WriteImageFile(const BlockImage& image, int scale, ImagePlace& place)
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
            StagedFile file;
            if (scale == 2) {
                // The 2x folder is made on first need; where it cannot be,
                // the staged file cannot be opened in it, and that counts
                // as a failed write of the 2x image.
                mkdir(place.folder, 0777);
                if (!file.Open(imagePath, kStagedImagePrefix))
                    return ImageWriteStatus::kWriteFailed;
            } else if (!file.Open(imagePath, kStagedImagePrefix)) {
                return ImageWriteStatus::kCannotCreate;
            }
            if (file.WriteAll(encoded_.data(), encoded_.size()) && file.Commit())
                return ImageWriteStatus::kWritten;
            file.Discard();
            return ImageWriteStatus::kWriteFailed;
        }
        if (ImageFolderHas(place.folder, place.fileName))
            continue;
        const ImageWriteStatus encoded = Encode(image, place.fileName);
        if (encoded != ImageWriteStatus::kWritten)
            return encoded;
        StagedFile file;
        if (!file.OpenForFreeName(imagePath, kStagedImagePrefix))
            return ImageWriteStatus::kCannotCreate;
        if (!file.WriteAll(encoded_.data(), encoded_.size())) {
            file.Discard();
            return ImageWriteStatus::kWriteFailed;
        }
        switch (file.CommitToFreeName()) {
        case FreeNameMove::kMoved: return ImageWriteStatus::kWritten;
        case FreeNameMove::kTaken: break;
        case FreeNameMove::kUnsupported: return WriteInPlace(imagePath);
        case FreeNameMove::kFailed: return ImageWriteStatus::kWriteFailed;
        }
        NoteImageWritten(place.folder, place.fileName);  // someone else's now
    }
}

// A new image created under its own name, where the file system offers no
// other way that never replaces a file. The reuse search finds a cut one
// not whole.
ImageWriteStatus ImageWriter::WriteInPlace(const char* imagePath)
{
    StagedFile file;
    bool taken = false;
    if (!file.OpenNew(imagePath, &taken))
        return ImageWriteStatus::kCannotCreate;
    if (file.WriteAll(encoded_.data(), encoded_.size()) && file.Commit())
        return ImageWriteStatus::kWritten;
    file.Discard();
    return ImageWriteStatus::kWriteFailed;
}

ImageWriteStatus ImageWriter::Write(const BlockImage& image, int scale, ImagePlace& place)
{
    ImageWriteStatus status = Draw(image, scale);
    if (status != ImageWriteStatus::kWritten)
        return status;
    status = WriteImageFile(image, scale, place);
    bitmap_.Free();
    return status;
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
