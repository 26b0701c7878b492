#pragma once
// The image writer: draws a block's glyph string at a scale of 1 or 2,
// encodes the drawing in the page's format and writes it to its file, under
// one write policy (ImageWriter::WriteImageFile):
//   - every image is written whole, with one call, into a staged file
//     beside its name, and takes the name only then: a failed, cut or
//     killed write leaves no short image under the name, which could hold
//     a whole key and be reused for ever;
//   - a free name (a 1x image named from its block's characters) is the
//     first name not taken: name.gif, name1.gif, name2.gif, ...; the staged
//     file takes it only where no entry stands (renameat2 with
//     RENAME_NOREPLACE, else link), so no image another process made is
//     ever replaced, and a name taken meanwhile passes to the next;
//   - a fixed name (a name directive's, and every 2x image's) is renamed
//     over, so the last good image survives a failed rewrite.
//
//   ImageWriter writer;
//   ImagePlace place{job.imageDir, &g_imageName, "gif"};
//   const ImageWriteStatus status = writer.Write(image, 1, place);
//   if (!ReportImageWrite(job.log, image.format, status, writer)) stop;
#include <cstddef>
#include <string>

#include "convert/image_name.h"
#include "convert/conversion_settings.h"
#include "data/limits.h"
#include "imaging/byte_buffer.h"
#include "imaging/glyph_bitmap.h"
#include "imaging/image_format.h"
#include "imaging/image_style.h"
#include "imaging/png_encoder.h"
#include "imaging/rasterizer.h"

namespace sylpic {

class StagedFile;

// How drawing, encoding and writing an image ended.
enum class ImageWriteStatus : int {
    kWritten = 0,
    kFontFailed,    // no such face, or the text cannot be measured or held
    kNoMemory,      // measured, but no pixel buffer could be had (to draw, or a PNG's to encode)
    kEncodeFailed,  // the encoder took no image (for a PNG, libpng's status says why)
    kCannotCreate,  // no file can be made under the name
    kWriteFailed,   // the image did not reach its file whole
};

// What a block's image shows and how.
struct BlockImage {
    FontChoice font;
    const unsigned char* glyphs;  // the glyph string
    std::size_t glyphRoom;        // the bytes that may be read at `glyphs`
    bool unicodeMode;
    ImageFormat format;
    ImageStyle style;  // the page's colours, transparency and the comment
};

// Where an image goes.
struct ImagePlace {
    const char* folder;  // with its trailing '/'
    // A 1x image's name, free or fixed. Null for a 2x image, whose file name
    // is given in `fileName` and replaced as a fixed name is.
    const ImageName* name;
    const char* extension;
    // The image's file name in `folder`: given for a 2x image; for a 1x
    // image, the name it was written under.
    char fileName[kMaxPath] = "";
};

class ImageWriter {
public:
    // Draws `image` at `scale` (1 or 2: twice the width and height, glyphs
    // at twice the em), encodes it and writes it at `place`.
    ImageWriteStatus Write(const BlockImage& image, int scale, ImagePlace& place);
    // The bytes of the image last encoded.
    const ByteBuffer& Encoded() const { return encoded_; }
    // libpng's status of the last PNG encoded.
    const PngStatus& Png() const { return png_; }
    // The file of the last write that failed, and why (convert/file_cause.h;
    // 0 when the failure lay in no file).
    const std::string& FailedPath() const { return failedPath_; }
    int FailedCause() const { return failedCause_; }

private:
    ImageWriteStatus Draw(const BlockImage& image, int scale);
    ImageWriteStatus Encode(const BlockImage& image, const char* fileName);
    ImageWriteStatus WriteImageFile(const BlockImage& image, int scale, ImagePlace& place);
    ImageWriteStatus WriteInPlace(const char* imagePath);
    ImageWriteStatus Fail(ImageWriteStatus status, std::string path, int cause);

    GlyphBitmap bitmap_;  // from the rasterizer to the end of the image's writing
    ByteBuffer encoded_;
    PngStatus png_;
    std::string failedPath_;
    int failedCause_ = 0;
};

// Encodes `bitmap` into `out` in `format`: a GIF or PNG in the style's
// colours with its comment, an XBM whose symbols are named `xbmName`.
ImageWriteStatus EncodeImage(const GlyphBitmapView& bitmap, ImageFormat format, const ImageStyle& style,
                             const char* xbmName, ByteBuffer& out, PngStatus& png);

// The message box of a PNG that was not encoded or not written whole, as a
// failed save shows it; nothing for other formats and statuses.
void ShowImageWriteBox(ConversionLog& log, ImageFormat format, ImageWriteStatus status, const PngStatus& png);

// Reports a write of `writer` that failed: the box of a failed PNG save,
// then the message of the failure and its cause (the image's path and the
// reason). False unless the image was written: the block then ends the run.
bool ReportImageWrite(ConversionLog& log, ImageFormat format, ImageWriteStatus status, const ImageWriter& writer);

}  // namespace sylpic
