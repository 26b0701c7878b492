#pragma once
// Numbers stored high byte first, as PNG, the font tables and SHA-256 keep
// them: the one reader of each width.
#include <cstdint>

namespace sylpic {

inline std::uint16_t ReadBigEndian16(const unsigned char* bytes)
{
    return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

inline std::uint32_t ReadBigEndian32(const unsigned char* bytes)
{
    return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 | std::uint32_t{bytes[2]} << 8 | bytes[3];
}

}  // namespace sylpic
