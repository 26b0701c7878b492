#pragma once
#include <cstdint>

namespace sylpic {

// The double-byte mapping table: 84 JIS X 0208 rows of 96 cells, indexed by
// 96 * (row - 1) + cell. The low 16 bits of an entry hold the KS X 1001 code
// of the same character (lead byte in the high half), or 0 for none.
inline constexpr int kDoubleByteTableSize = 8064;
extern const std::uint32_t g_doubleByteTable[kDoubleByteTableSize];

}  // namespace sylpic
