#include "hangul/double_byte.h"

#include "data/double_byte_table.h"
#include "hangul/code_page.h"

namespace sylpic {

int MapDoubleByte(unsigned char lead, unsigned char trail)
{
    // Other bytes would fold into a neighbouring row or cell and name a
    // character that is not there (0xDF 0x40 into row 61, 0x82 0x00 into
    // row 2), so they have no mapping. The block parser only passes pairs.
    if (!IsLeadByte(lead) || !IsTrailByte(trail))
        return 0;

    // Shift-JIS to JIS X 0208 row and cell, folded into one index:
    // j is the row + 32, k the cell + 32.
    const int s1 = lead;
    const int s2 = trail;
    int j = s1 <= 0x9F ? 2 * s1 - 0xE1 : 2 * s1 - 0x161;
    if (s2 >= 0x9F)
        ++j;
    int k;
    if (s2 <= 0x7E)
        k = s2 - 0x1F;
    else if (s2 <= 0x9E)
        k = s2 - 0x20;
    else
        k = s2 - 0x7E;
    const int index = 96 * j + k - 3200;  // = 96 * (row - 1) + cell
    if (index < 0 || index >= kDoubleByteTableSize)
        return 0;  // rows 85 and up, lead bytes 0xEB to 0xFC among them
    return static_cast<int>(g_doubleByteTable[index] & 0xFFFF);
}

}  // namespace sylpic
