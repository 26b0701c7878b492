#include "imaging/png_memory.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace sylpic {

namespace {

// Each block starts with a header that holds its size; the caller's bytes
// follow it, aligned as malloc aligns.
constexpr std::size_t kHeaderBytes = alignof(std::max_align_t);
// Enough for the blocks of one image, and no block larger than zlib's.
constexpr int kKeptBlocks = 16;
constexpr std::size_t kLargestKept = std::size_t{1} << 20;

struct KeptBlock {
    std::size_t size = 0;
    unsigned char* block = nullptr;  // the header's address
};

// The returned blocks, program-wide (the program draws one image at a time).
class KeptBlocks {
public:
    ~KeptBlocks()
    {
        for (KeptBlock& kept : blocks_)
            std::free(kept.block);
    }
    unsigned char* Take(std::size_t size)
    {
        for (KeptBlock& kept : blocks_) {
            if (kept.block != nullptr && kept.size == size) {
                unsigned char* block = kept.block;
                kept.block = nullptr;
                return block;
            }
        }
        return nullptr;
    }
    bool Keep(unsigned char* block, std::size_t size)
    {
        if (size > kLargestKept)
            return false;
        for (KeptBlock& kept : blocks_) {
            if (kept.block == nullptr) {
                kept = {size, block};
                return true;
            }
        }
        return false;
    }

private:
    KeptBlock blocks_[kKeptBlocks];
};

KeptBlocks s_keptBlocks;

}  // namespace

png_voidp TakePngMemory(png_structp, png_alloc_size_t size)
{
    if (size > static_cast<png_alloc_size_t>(SIZE_MAX - kHeaderBytes))
        return nullptr;
    unsigned char* block = s_keptBlocks.Take(size);
    if (block == nullptr) {
        block = static_cast<unsigned char*>(std::malloc(size + kHeaderBytes));
        if (block == nullptr)
            return nullptr;
        *reinterpret_cast<std::size_t*>(block) = size;
    }
    return block + kHeaderBytes;
}

void ReturnPngMemory(png_structp, png_voidp bytes)
{
    if (bytes == nullptr)
        return;
    unsigned char* block = static_cast<unsigned char*>(bytes) - kHeaderBytes;
    if (!s_keptBlocks.Keep(block, *reinterpret_cast<const std::size_t*>(block)))
        std::free(block);
}

}  // namespace sylpic
