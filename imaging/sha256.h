#pragma once
// SHA-256, for names that stand for their content (a page's web font).
//
//   Sha256 hash;
//   hash.Update(bytes, count);   // as often as needed
//   std::array<unsigned char, 32> digest = hash.Finish();
#include <array>
#include <cstddef>
#include <cstdint>

namespace sylpic {

class Sha256 {
public:
    Sha256();
    void Update(const void* bytes, std::size_t count);
    // The digest of everything given; the object is then spent.
    std::array<unsigned char, 32> Finish();

private:
    void Compress(const unsigned char* block);

    std::uint32_t state_[8];
    unsigned char block_[64];
    std::size_t blockUsed_ = 0;
    std::uint64_t totalBytes_ = 0;
};

}  // namespace sylpic
