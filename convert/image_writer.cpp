#include "convert/image_writer.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "convert/file_cause.h"
#include "convert/image_folder_view.h"
#include "convert/staged_file.h"
#include "imaging/gif_encoder.h"
#include "imaging/xbm_encoder.h"
#include "res/messages.h"

namespace sylpic {

namespace {

// The text of a PNG that did not reach its file whole, beside the code
// ImagingStatus::kPngLibraryError.
constexpr char kPngWriteErrorText[] = "Write Error";

// What a drawing or an encode that ended in `status` means for the image.
ImageWriteStatus FromImaging(ImagingStatus status)
{
    switch (status) {
    case ImagingStatus::kOk: return ImageWriteStatus::kWritten;
    case ImagingStatus::kNoMemory: return ImageWriteStatus::kNoMemory;
    case ImagingStatus::kFontFailed: return ImageWriteStatus::kFontFailed;
    default: return ImageWriteStatus::kEncodeFailed;
    }
}

}  // namespace

ImageWriteStatus EncodeImage(const GlyphBitmapView& bitmap, ImageFormat format, const ImageStyle& style,
                             const char* xbmName, ByteBuffer& out, PngStatus& png)
{
    if (format == kFormatXbm) {
        EncodeXbm(bitmap, xbmName, out);
        return ImageWriteStatus::kWritten;
    }
    return FromImaging(format == kFormatPng ? EncodePng(bitmap, style, out, png) : EncodeGif(bitmap, style, out));
}

ImageWriteStatus ImageWriter::Draw(const BlockImage& image, int scale)
{
    const ImagingStatus drawn =
        scale == 2 ? RasterizeGlyphsDoubled(image.font, image.glyphs, image.glyphRoom, image.unicodeMode, bitmap_)
                   : RasterizeGlyphs(image.font, image.glyphs, image.glyphRoom, image.unicodeMode, bitmap_);
    return FromImaging(drawn);
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
            return Fail(ImageWriteStatus::kCannotCreate, std::string(place.folder) + place.fileName, kCausePathTooLong);
        if (fixed) {
            const ImageWriteStatus encoded = Encode(image, place.fileName);
            if (encoded != ImageWriteStatus::kWritten)
                return Fail(encoded, imagePath, 0);
            StagedFile file;
            if (scale == 2) {
                // The 2x folder is made on first need; where it cannot be,
                // the staged file cannot be opened in it, and that counts
                // as a failed write of the 2x image, for the folder's reason.
                const int folderError = mkdir(place.folder, 0777) == 0 || errno == EEXIST ? 0 : errno;
                if (!file.Open(imagePath, kStagedImagePrefix))
                    return Fail(ImageWriteStatus::kWriteFailed, imagePath, folderError != 0 ? folderError : file.Error());
            } else if (!file.Open(imagePath, kStagedImagePrefix)) {
                return Fail(ImageWriteStatus::kCannotCreate, imagePath, file.Error());
            }
            if (file.WriteAll(encoded_.data(), encoded_.size()) && file.Commit())
                return ImageWriteStatus::kWritten;
            file.Discard();
            return Fail(ImageWriteStatus::kWriteFailed, imagePath, file.Error());
        }
        if (ImageFolderHas(place.folder, place.fileName))
            continue;
        const ImageWriteStatus encoded = Encode(image, place.fileName);
        if (encoded != ImageWriteStatus::kWritten)
            return Fail(encoded, imagePath, 0);
        StagedFile file;
        if (!file.OpenForFreeName(imagePath, kStagedImagePrefix, ImageFolderDescriptor(place.folder),
                                 ImageFolderCloses(place.folder)))
            return Fail(ImageWriteStatus::kCannotCreate, imagePath, file.Error());
        if (!file.WriteAll(encoded_.data(), encoded_.size())) {
            file.Discard();
            return Fail(ImageWriteStatus::kWriteFailed, imagePath, file.Error());
        }
        switch (file.CommitToFreeName()) {
        case FreeNameMove::kMoved: return ImageWriteStatus::kWritten;
        case FreeNameMove::kTaken: break;
        case FreeNameMove::kUnsupported: return WriteInPlace(imagePath);
        case FreeNameMove::kFailed: return Fail(ImageWriteStatus::kWriteFailed, imagePath, file.Error());
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
        return Fail(ImageWriteStatus::kCannotCreate, imagePath, file.Error());
    if (file.WriteAll(encoded_.data(), encoded_.size()) && file.Commit())
        return ImageWriteStatus::kWritten;
    file.Discard();
    return Fail(ImageWriteStatus::kWriteFailed, imagePath, file.Error());
}

// Keeps the file that failed and why, for the failure's report.
ImageWriteStatus ImageWriter::Fail(ImageWriteStatus status, std::string path, int cause)
{
    failedPath_ = std::move(path);
    failedCause_ = cause;
    return status;
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
    const ImagingStatus code = refused ? png.code : ImagingStatus::kPngLibraryError;
    log.ShowMessageBox(FormatSaveFailure(static_cast<int>(code), refused ? png.message : kPngWriteErrorText));
}

bool ReportImageWrite(ConversionLog& log, ImageFormat format, ImageWriteStatus status, const ImageWriter& writer)
{
    const PngStatus& png = writer.Png();
    switch (status) {
    case ImageWriteStatus::kWritten: return true;
    case ImageWriteStatus::kFontFailed: log.LogMessage(IDS_FONT_FAILED, true, true); return false;
    case ImageWriteStatus::kNoMemory: log.LogMessage(IDS_NO_MEMORY, true, true); return false;
    default: break;
    }
    ShowImageWriteBox(log, format, status, png);
    log.LogMessage(IDS_CANNOT_CREATE, true, true);
    // An image that was not encoded failed in no file: libpng's text, or the
    // encoder's one refusal, a side over 65,535 pixels, says why.
    if (status == ImageWriteStatus::kEncodeFailed && format == kFormatPng && png.message[0] != '\0')
        log.ReportCause(writer.FailedPath(), png.message);
    else
        ReportFileCause(log, writer.FailedPath(), status == ImageWriteStatus::kEncodeFailed ? EOVERFLOW : writer.FailedCause());
    return false;
}

}  // namespace sylpic
