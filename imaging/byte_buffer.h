#pragma once
// What the encoders write into: a growing byte buffer. A whole image is
// encoded in memory and then written to its file with one checked write.
#include <cstddef>
#include <vector>

namespace sylpic {

using ByteBuffer = std::vector<unsigned char>;

inline void AppendBytes(ByteBuffer& out, const void* bytes, std::size_t count)
{
    const auto* from = static_cast<const unsigned char*>(bytes);
    out.insert(out.end(), from, from + count);
}

}  // namespace sylpic
