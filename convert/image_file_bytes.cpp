#include "convert/image_file_bytes.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

// What one read asks for: more than the head of any image this program
// writes, which is all its readers look at.
constexpr std::size_t kReadStep = 4096;

}  // namespace

ImageFileBytes::ImageFileBytes(const char* path) : fd_(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}

ImageFileBytes::~ImageFileBytes()
{
    if (fd_ >= 0)
        close(fd_);
}

void ImageFileBytes::Fill(std::size_t offset, std::size_t size) const
{
    window_.resize(size);
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = pread(fd_, window_.data() + got, size - got, static_cast<off_t>(offset + got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    window_.resize(got);
    windowAt_ = offset;
    windowHoldsEnd_ = got < size;
}

std::size_t ImageFileBytes::ReadAt(std::size_t offset, unsigned char* to, std::size_t count) const
{
    if (fd_ < 0)
        return 0;
    const bool inside =
        offset >= windowAt_ && (windowHoldsEnd_ || offset - windowAt_ + count <= window_.size());
    if (!inside)
        Fill(offset, count > kReadStep ? count : kReadStep);
    const std::size_t from = offset - windowAt_;
    if (from >= window_.size())
        return 0;
    const std::size_t available = window_.size() - from < count ? window_.size() - from : count;
    std::memcpy(to, window_.data() + from, available);
    return available;
}
