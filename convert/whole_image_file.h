#pragma once
// Whether an image file in the folder is whole, read to its last byte: the
// check that an image must pass before it is reused.
#include <sys/stat.h>

#include <cstddef>
#include <vector>

#include "imaging/image_format.h"
#include "imaging/image_size.h"

namespace sylpic {

class DeferredCloses;

// True when the file at `path` is a whole GIF or PNG (as `format` says); an
// XBM is never reused and is not looked at. False when the file cannot be
// read or is larger than any image this program writes.
bool IsWholeImageFile(const char* path, ImageFormat format);

// True when `bytes` are a whole GIF or PNG, as IsWholeImageFile asks of a
// file's bytes.
bool IsWholeImage(const unsigned char* bytes, std::size_t size, ImageFormat format);

// What ReadImageFileBytes asks of the file besides its bytes.
enum class FileCheck {
    // fstat first: the file must be regular, and `st` says which file it was.
    kStat,
    // The folder's listing said the name is a regular file, and which file
    // it is need not be known: fstat only when the file is longer than a
    // first read takes. A short read of a file that was replaced meanwhile
    // by a FIFO or a device gives bytes no whole image has.
    kKnownRegular,
};

// Reads the whole of the regular file at `path` (relative to the folder
// open at `atFd`, or AT_FDCWD) with one open: its bytes into the first
// `size` bytes of `buffer` (grown when need be, never shrunk), and, when
// fstat was asked, what it says of the file into `st` (else st_mode is 0).
// False when it cannot be read, is not a regular file or is larger than any
// image this program writes. With `closes`, a file read as it should be is
// closed there, later (a file opened only to read has nothing to report at
// its close).
bool ReadImageFileBytes(int atFd, const char* path, std::vector<unsigned char>& buffer, std::size_t& size,
                        struct stat& st, FileCheck check, DeferredCloses* closes = nullptr);

// True when the 2x image's size is exactly twice the 1x image's.
bool IsTwiceTheSize(const ImageSize& doubled, const ImageSize& single);

}  // namespace sylpic
