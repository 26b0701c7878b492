// Placeholder: replaced by the generated table.
#include "data/double_byte_table.h"
const std::uint32_t g_doubleByteTable[kDoubleByteTableSize] = {};
