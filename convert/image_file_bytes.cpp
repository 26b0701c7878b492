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

std::size_t ReadFileAt(int fd, std::size_t offset, unsigned char* to, std::size_t count, bool& failed)
{
    failed = false;
    std::size_t got = 0;
    while (got < count) {
        const std::size_t wanted = count - got;
        const ssize_t n = pread(fd, to + got, wanted, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            failed = n < 0;
            break;
        }
        got += static_cast<std::size_t>(n);
        if (static_cast<std::size_t>(n) < wanted)
            break;
    }
    return got;
}

std::size_t ImageFileBytes::ReadAt(std::size_t offset, unsigned char* to, std::size_t count) const
{
    if (fd_ < 0)
        return 0;
    bool failed = false;
    if (count > kWindowBytes)
        return ReadFileAt(fd_, offset, to, count, failed);  // more than a window holds: straight through
    const bool inside = offset >= windowAt_ && (windowHoldsEnd_ || offset - windowAt_ + count <= windowSize_);
    if (!inside) {
        windowSize_ = ReadFileAt(fd_, offset, window_.data(), kWindowBytes, failed);
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
