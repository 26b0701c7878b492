#include "convert/image_file_bytes.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace sylpic {

ImageFileBytes::ImageFileBytes(const char* path) : fd_(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}

ImageFileBytes::~ImageFileBytes()
{
    if (fd_ >= 0)
        close(fd_);
}

std::size_t ImageFileBytes::ReadFile(std::size_t offset, unsigned char* to, std::size_t count) const
{
    std::size_t got = 0;
    while (got < count) {
        const ssize_t n = pread(fd_, to + got, count - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    return got;
}

std::size_t ImageFileBytes::ReadAt(std::size_t offset, unsigned char* to, std::size_t count) const
{
    if (fd_ < 0)
        return 0;
    if (count > kWindowBytes)
        return ReadFile(offset, to, count);  // more than a window holds: straight through
    const bool inside = offset >= windowAt_ && (windowHoldsEnd_ || offset - windowAt_ + count <= windowSize_);
    if (!inside) {
        windowSize_ = ReadFile(offset, window_.data(), kWindowBytes);
        windowAt_ = offset;
        windowHoldsEnd_ = windowSize_ < kWindowBytes;
    }
    const std::size_t from = offset - windowAt_;
    if (from >= windowSize_)
        return 0;
    const std::size_t available = windowSize_ - from < count ? windowSize_ - from : count;
    std::memcpy(to, window_.data() + from, available);
    return available;
}

}  // namespace sylpic
