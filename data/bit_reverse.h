#pragma once
// Bit-reversal table: entry i is i with its eight bits in reverse order
// (0x01 -> 0x80, 0x03 -> 0xC0). The glyph bitmap has its leftmost pixel in
// the most significant bit; PNG expansion and XBM want it in the least.
#include <array>

namespace sylpic {

namespace detail {
constexpr std::array<unsigned char, 256> MakeBitReverse()
{
    std::array<unsigned char, 256> table{};
    for (unsigned i = 0; i < 256; ++i) {
        unsigned r = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (i & (1u << bit))
                r |= 0x80u >> bit;
        table[i] = static_cast<unsigned char>(r);
    }
    return table;
}
}  // namespace detail

inline constexpr std::array<unsigned char, 256> g_bitReverse = detail::MakeBitReverse();

}  // namespace sylpic
