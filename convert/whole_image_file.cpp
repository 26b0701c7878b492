#include "convert/whole_image_file.h"

#include <fcntl.h>
#include <unistd.h>


#include "convert/deferred_closes.h"
#include "convert/image_file_bytes.h"
#include "imaging/gif_encoder.h"
#include "imaging/png_encoder.h"

namespace sylpic {

namespace {

// Far above the largest image a block of 5000 bytes can give.
constexpr off_t kLargestImageFile = off_t{256} << 20;
// What a file known to be regular is first read into: more than the
// images of most blocks take.
constexpr std::size_t kFirstRead = 16384;

// Reads the rest of the open file `fd`, past the `size` bytes of it already
// in `buffer`, to the size fstat gives; false when it is not a regular file
// or is too large.
bool ReadStatedFile(int fd, std::vector<unsigned char>& buffer, std::size_t& size, struct stat& st)
{
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kLargestImageFile)
        return false;
    // One byte more than the size says, to see a file that grew; a short
    // read of a regular file ends at its end.
    const std::size_t room = static_cast<std::size_t>(st.st_size) + 1;
    if (buffer.size() < room)
        buffer.resize(room);
    if (size >= room)
        return true;  // it shrank since the first read: those bytes are what it held
    bool failed = false;
    size += ReadFileAt(fd, size, buffer.data() + size, room - size, failed);
    return !failed;
}

}  // namespace

bool ReadImageFileBytes(int atFd, const char* path, std::vector<unsigned char>& buffer, std::size_t& size,
                        struct stat& st, FileCheck check, DeferredCloses* closes)
{
    size = 0;
    st = {};
    const int fd = openat(atFd, path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = true;
    if (check == FileCheck::kKnownRegular) {
        // Read first, as far as the buffer holds: a read that comes back
        // short has the whole file, and fstat is asked only of a longer one.
        if (buffer.size() < kFirstRead)
            buffer.resize(kFirstRead);
        bool failed = false;
        size = ReadFileAt(fd, 0, buffer.data(), buffer.size(), failed);
        ok = !failed && (size < buffer.size() || ReadStatedFile(fd, buffer, size, st));
    } else {
        ok = ReadStatedFile(fd, buffer, size, st);
    }
    if (ok && closes != nullptr)
        closes->Hold(fd);
    else
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
    return ReadImageFileBytes(AT_FDCWD, path, bytes, size, st, FileCheck::kStat) && IsWholeImage(bytes.data(), size, format);
}

bool IsTwiceTheSize(const ImageSize& doubled, const ImageSize& single)
{
    return doubled.width == 2 * single.width && doubled.height == 2 * single.height;
}

}  // namespace sylpic
