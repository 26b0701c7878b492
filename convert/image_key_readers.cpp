// Reading the image key and colours back from images this program wrote.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "convert/image_key.h"
#include "imaging/gif_writer.h"
#include "imaging/png_writer.h"

namespace {

// Text buffers of the readers.
constexpr int kKeyTextRoom = kReadKeyBytes;

// The bytes at the start of a GIF that its key reader reads: the comment's
// first sub-block at most.
constexpr int kGifKeyHeadBytes = kGifCommentAt + 3 + 255;

class FileDescriptor {
public:
    explicit FileDescriptor(const char* path) : fd_(open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC)) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    bool ok() const { return fd_ >= 0; }
    // Reads up to `size` bytes from the start; returns how many came.
    int ReadStart(unsigned char* to, int size) const
    {
        int got = 0;
        while (got < size) {
            const ssize_t n = pread(fd_, to + got, static_cast<std::size_t>(size - got), got);
            if (n <= 0)
                break;
            got += static_cast<int>(n);
        }
        return got;
    }

private:
    int fd_;
};

struct FileCloser {
    void operator()(FILE* f) const { std::fclose(f); }
};

}  // namespace

bool ReadImageFileSize(const char* path, ImageFormat format, ImageSize& size)
{
    const FileDescriptor file(path);
    if (!file.ok())
        return false;
    unsigned char head[kImageSizeHeadBytes];
    const int got = file.ReadStart(head, sizeof head);
    return ReadImageSize(head, static_cast<std::size_t>(got), format, size);
}

int ReadGifKey(const char* path, char* text, unsigned char* colours)
{
    std::memset(text, 0, kKeyTextRoom);
    FileDescriptor file(path);
    if (!file.ok())
        return 0;
    unsigned char head[kGifKeyHeadBytes];
    const int got = file.ReadStart(head, sizeof head);
    return ReadGifKeyFrom(head, static_cast<std::size_t>(got), text, colours);
}

int ReadGifKeyFrom(const unsigned char* bytes, std::size_t size, char* text, unsigned char* colours)
{
    // Layout written by the GIF encoder: the two-entry colour table at
    // kGifColourTableAt, then at once the comment extension, a size byte L
    // and L bytes of key text (only this first sub-block is read).
    constexpr int kKeyTextAt = kGifCommentAt + 3;
    static_assert(kGifKeyHeadBytes == kKeyTextAt + 255);
    std::memset(text, 0, kKeyTextRoom);
    const unsigned char* head = bytes;
    const int got = static_cast<int>(size < std::size_t{kGifKeyHeadBytes} ? size : std::size_t{kGifKeyHeadBytes});

    std::memset(colours, 0, 6);
    if (got > kGifColourTableAt)
        std::memcpy(colours, head + kGifColourTableAt,
                    static_cast<std::size_t>(got >= kGifCommentAt ? 6 : got - kGifColourTableAt));
    if (got < kKeyTextAt || head[kGifCommentAt] != kGifExtensionIntroducer || head[kGifCommentAt + 1] != kGifCommentLabel)
        return 0;
    const int length = head[kGifCommentAt + 2];
    // The text stops after a line feed, and at the bytes there are.
    const std::size_t room = static_cast<std::size_t>(std::min(length, got - kKeyTextAt));
    const void* lineFeed = std::memchr(head + kKeyTextAt, '\n', room);
    const std::size_t copied =
        lineFeed != nullptr ? static_cast<std::size_t>(static_cast<const unsigned char*>(lineFeed) - (head + kKeyTextAt)) + 1
                            : room;
    std::memcpy(text, head + kKeyTextAt, copied);
    text[copied] = '\0';
    return length;
}

namespace {

// Walks the chunks before the first IDAT: colours from PLTE, the key from
// the kPngCommentKeyword tEXt chunk. Any chunk over 512 bytes ends the walk.
// `read(to, n)` takes the next n bytes of the file, false when fewer are
// left.
template <typename ReadExactly>
int WalkPngKey(ReadExactly read, char* text, unsigned char* colours)
{
    constexpr unsigned kMaxChunk = 512;
    int result = 0;
    unsigned char signature[8];
    if (!read(signature, 8))
        return 0;

    unsigned char chunk[4 + kMaxChunk + 4];  // type, data, CRC
    for (;;) {
        unsigned char lengthBytes[4];
        if (!read(lengthBytes, 4))
            break;
        const unsigned long length = BigEndian32(lengthBytes);
        if (length > kMaxChunk)
            break;
        if (!read(chunk, length + 4))
            break;
        unsigned char crc[4];
        if (!read(crc, 4))
            break;  // a chunk cut short is no chunk

        const unsigned char* data = chunk + 4;
        if (std::memcmp(chunk, "PLTE", 4) == 0) {
            // The colours come from one chunk: a short palette leaves zeros,
            // never an earlier palette's bytes mixed with its own.
            std::memset(colours, 0, 6);
            std::memcpy(colours, data, length < 6 ? length : 6);
        } else if (std::memcmp(chunk, "tEXt", 4) == 0) {
            if (length >= sizeof kPngCommentKeyword &&
                std::memcmp(data, kPngCommentKeyword, sizeof kPngCommentKeyword) == 0) {
                const unsigned long textLength = length - sizeof kPngCommentKeyword;
                if (textLength > 256) {
                    result = 0;
                    break;
                }
                std::memset(text, 0, kKeyTextRoom);
                std::memcpy(text, data + sizeof kPngCommentKeyword, textLength);
                result = static_cast<int>(textLength);
            }
        } else if (std::memcmp(chunk, "IDAT", 4) == 0) {
            break;
        }
    }
    return result;
}

}  // namespace

int ReadPngKey(const char* path, char* text, unsigned char* colours)
{
    std::memset(text, 0, kKeyTextRoom);
    std::memset(colours, 0, 6);
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return 0;
    std::unique_ptr<FILE, FileCloser> file(fdopen(fd, "rb"));
    if (!file) {
        close(fd);
        return 0;
    }
    FILE* f = file.get();
    return WalkPngKey([f](unsigned char* to, std::size_t n) { return std::fread(to, 1, n, f) == n; }, text, colours);
}

int ReadPngKeyFrom(const unsigned char* bytes, std::size_t size, char* text, unsigned char* colours)
{
    std::memset(text, 0, kKeyTextRoom);
    std::memset(colours, 0, 6);
    std::size_t at = 0;
    return WalkPngKey(
        [&](unsigned char* to, std::size_t n) {
            if (size - at < n)
                return false;
            std::memcpy(to, bytes + at, n);
            at += n;
            return true;
        },
        text, colours);
}
