#pragma once
// The size an image file records for itself, which is the size a browser
// lays the image out at: read from the file's first bytes, for the three
// formats this program writes.
#include <cstddef>

#include "imaging/image_format.h"

namespace sylpic {

struct ImageSize {
    int width = 0;
    int height = 0;
};

// Sizes past this are no image this program reads back.
inline constexpr long kMaxImageSide = 0x7FFFFFFF;

// Enough of a file's first bytes for ReadImageSize in every format.
inline constexpr std::size_t kImageSizeHeadBytes = 128;

// Reads the width and height that head[0..length) records, in `format`:
// a GIF's logical screen, a PNG's IHDR chunk, an XBM's "_width" and
// "_height" defines (the first two lines). False, leaving `size` as it was,
// when the bytes are not such a start of a file; no byte at or past
// `length` is read. Each format's reader sits beside its encoder.
bool ReadImageSize(const unsigned char* head, std::size_t length, ImageFormat format, ImageSize& size);

}  // namespace sylpic
