#pragma once
// Full-width characters of code page 932 to their KS X 1001 counterparts.

namespace sylpic {

// Returns the KS X 1001 code (lead byte in the high half) of the code page 932
// character lead, trail, or 0 when there is none.
int MapDoubleByte(unsigned char lead, unsigned char trail);

}  // namespace sylpic
