#pragma once
// Where the readers beside each encoder take an image's bytes from: a file
// read on demand (convert/image_file_bytes.h), or bytes in memory. So the
// layout a reader reads is the one its encoder writes, named once, whatever
// holds the bytes.
#include <cstddef>
#include <cstring>

namespace sylpic {

class ByteSource {
public:
    // Copies up to `count` bytes from `offset` to `to`; returns how many
    // there were, fewer only at the end of the bytes.
    virtual std::size_t ReadAt(std::size_t offset, unsigned char* to, std::size_t count) const = 0;

protected:
    ByteSource() = default;
    ByteSource(const ByteSource&) = default;
    ByteSource& operator=(const ByteSource&) = default;
    ~ByteSource() = default;
};

// Bytes already in memory.
class MemoryBytes final : public ByteSource {
public:
    MemoryBytes(const unsigned char* bytes, std::size_t size) : bytes_(bytes), size_(size) {}
    std::size_t ReadAt(std::size_t offset, unsigned char* to, std::size_t count) const override
    {
        if (offset >= size_)
            return 0;
        const std::size_t available = size_ - offset < count ? size_ - offset : count;
        std::memcpy(to, bytes_ + offset, available);
        return available;
    }

private:
    const unsigned char* bytes_;
    std::size_t size_;
};

}  // namespace sylpic
