#include "imaging/whole_image.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>

namespace {

constexpr unsigned char kGifTrailer = 0x3B;
constexpr unsigned char kGifExtension = 0x21;
constexpr unsigned char kGifImage = 0x2C;
constexpr std::size_t kGifScreenEnd = 13;      // header and logical screen
constexpr std::size_t kGifDescriptorBytes = 10;  // with its separator

// The bytes of the colour table that `flags` announces, 0 for none.
std::size_t ColourTableBytes(unsigned char flags)
{
    return (flags & 0x80) != 0 ? 3u << ((flags & 7) + 1) : 0;
}

// Steps over data sub-blocks from `at` to past their zero-length end;
// false when they run past the end.
bool SkipSubBlocks(const unsigned char* bytes, std::size_t size, std::size_t& at)
{
    while (at < size) {
        const std::size_t length = bytes[at++];
        if (length == 0)
            return true;
        at += length;
    }
    return false;
}

std::uint32_t BigEndian32(const unsigned char* p)
{
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

}  // namespace

bool IsWholeGif(const unsigned char* bytes, std::size_t size)
{
    if (size < kGifScreenEnd || (std::memcmp(bytes, "GIF87a", 6) != 0 && std::memcmp(bytes, "GIF89a", 6) != 0))
        return false;
    std::size_t at = kGifScreenEnd + ColourTableBytes(bytes[10]);
    while (at < size) {
        switch (bytes[at]) {
        case kGifTrailer: return at == size - 1;
        case kGifExtension:
            at += 2;  // introducer and label
            break;
        case kGifImage:
            if (size - at < kGifDescriptorBytes + 1)
                return false;
            at += kGifDescriptorBytes + ColourTableBytes(bytes[at + 9]) + 1;  // and the LZW code size
            break;
        default: return false;
        }
        if (!SkipSubBlocks(bytes, size, at))
            return false;
    }
    return false;
}

bool IsWholePng(const unsigned char* bytes, std::size_t size)
{
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    constexpr std::size_t kChunkFrame = 12;  // length, type and CRC
    if (size < sizeof kSignature || std::memcmp(bytes, kSignature, sizeof kSignature) != 0)
        return false;
    bool sawData = false;
    for (std::size_t at = sizeof kSignature; size - at >= kChunkFrame;) {
        const std::uint32_t length = BigEndian32(bytes + at);
        if (length > 0x7FFFFFFFu || length > size - at - kChunkFrame)
            return false;
        const unsigned char* type = bytes + at + 4;
        const uLong crc = crc32(crc32(0L, Z_NULL, 0), type, static_cast<uInt>(length + 4));
        if (crc != BigEndian32(type + 4 + length))
            return false;
        if ((at == sizeof kSignature) != (std::memcmp(type, "IHDR", 4) == 0))
            return false;  // IHDR first, and only there
        sawData = sawData || std::memcmp(type, "IDAT", 4) == 0;
        at += kChunkFrame + length;
        if (std::memcmp(type, "IEND", 4) == 0)
            return sawData && at == size;
    }
    return false;
}
