#include "convert/whole_image_file.h"

#include <fcntl.h>
#include <unistd.h>


#include "convert/image_file_bytes.h"
#include "imaging/gif_encoder.h"
#include "imaging/png_encoder.h"

namespace sylpic {

namespace {

// Far above the largest image a block of 5000 bytes can give.
constexpr off_t kLargestImageFile = off_t{256} << 20;

}  // namespace

bool ReadImageFileBytes(int atFd, const char* path, std::vector<unsigned char>& buffer, std::size_t& size,
                        struct stat& st)
{
    size = 0;
    st = {};
    const int fd = openat(atFd, path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kLargestImageFile;
    if (ok) {
        // One byte more than the size says, to see a file that grew; a
        // short read of a regular file ends at its end.
        const std::size_t room = static_cast<std::size_t>(st.st_size) + 1;
        if (buffer.size() < room)
            buffer.resize(room);
        bool failed = false;
        size = ReadFileAt(fd, 0, buffer.data(), room, failed);
        ok = !failed;
    }
    close(fd);
    return ok;
}

bool IsWholeImage(const unsigned char* bytes, std::size_t size, ImageFormat format)
{
    if (format == kFormatXbm)
        return true;
    return format == kFormatGif ? IsWholeGif(bytes, size) : IsWholePng(bytes, size);
}

bool IsWholeImageFile(const char* path, ImageFormat format)
{
    if (format == kFormatXbm)
        return true;
    std::vector<unsigned char> bytes;
    std::size_t size = 0;
    struct stat st;
    return ReadImageFileBytes(AT_FDCWD, path, bytes, size, st) && IsWholeImage(bytes.data(), size, format);
}

bool IsTwiceTheSize(const ImageSize& doubled, const ImageSize& single)
{
    return doubled.width == 2 * single.width && doubled.height == 2 * single.height;
}

}  // namespace sylpic
