#pragma once
// Whether an image file in the folder is whole, read to its last byte: the
// check that an image must pass before it is reused.
#include "imaging/image_format.h"
#include "imaging/image_size.h"

// True when the file at `path` is a whole GIF or PNG (as `format` says); an
// XBM is never reused and is not looked at. False when the file cannot be
// read or is larger than any image this program writes.
bool IsWholeImageFile(const char* path, ImageFormat format);

// True when the 2x image's size is exactly twice the 1x image's.
bool IsTwiceTheSize(const ImageSize& doubled, const ImageSize& single);
