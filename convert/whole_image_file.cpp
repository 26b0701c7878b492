#include "convert/whole_image_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "imaging/gif_encoder.h"
#include "imaging/png_encoder.h"

namespace {

// Far above the largest image a block of 5000 bytes can give.
constexpr off_t kLargestImageFile = off_t{256} << 20;

}  // namespace

bool IsWholeImageFile(const char* path, ImageFormat format)
{
    if (format == kFormatXbm)
        return true;
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st;
    std::vector<unsigned char> bytes;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kLargestImageFile;
    if (ok) {
        // One byte more than the size says, to see a file that grew.
        bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
    }
    close(fd);
    if (!ok)
        return false;
    return format == kFormatGif ? IsWholeGif(bytes.data(), bytes.size()) : IsWholePng(bytes.data(), bytes.size());
}

bool IsTwiceTheSize(const ImageSize& doubled, const ImageSize& single)
{
    return doubled.width == 2 * single.width && doubled.height == 2 * single.height;
}
