#pragma once
// An image file's bytes for the readers beside the encoders: the file is
// opened once (never blocking on a FIFO or a device) and read on demand
// through a window of one page, so that a reader's many small reads cost
// one read of the file, and a long file no more memory.
//
//   const ImageFileBytes file(path);
//   if (file.ok())
//       ReadGifKeyFrom(file, text, colours);
#include <array>
#include <cstddef>

#include "imaging/byte_source.h"

namespace sylpic {

// Reads up to `count` bytes at `offset` of the open file `fd` into `to`,
// again after a signal; returns how many came. Fewer come at the file's end
// (a short read of a regular file is its end, and is not read past) or on a
// failure, which `failed` then says.
std::size_t ReadFileAt(int fd, std::size_t offset, unsigned char* to, std::size_t count, bool& failed);

class ImageFileBytes final : public ByteSource {
public:
    explicit ImageFileBytes(const char* path);
    ~ImageFileBytes();
    ImageFileBytes(const ImageFileBytes&) = delete;
    ImageFileBytes& operator=(const ImageFileBytes&) = delete;

    // False when the file cannot be opened; it then has no bytes.
    bool ok() const { return fd_ >= 0; }
    std::size_t ReadAt(std::size_t offset, unsigned char* to, std::size_t count) const override;

private:
    static constexpr std::size_t kWindowBytes = 4096;

    int fd_;
    // window_[0..windowSize_) holds the file's bytes from `windowAt_`;
    // `windowHoldsEnd_` when the read that filled it came back short, at the
    // file's end.
    mutable std::array<unsigned char, kWindowBytes> window_;
    mutable std::size_t windowSize_ = 0;
    mutable std::size_t windowAt_ = 0;
    mutable bool windowHoldsEnd_ = false;
};

}  // namespace sylpic
