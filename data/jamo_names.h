#pragma once
// The romanised names of the Hangul letters of KS X 1001 row 4.

namespace sylpic {

// One name and the cell n (1 to 94) of the letter it names; the letter's
// code is 0xA4A0 + n.
struct JamoName {
    const char* name;
    int n;
};

inline constexpr int kJamoNameCount = 100;
// The first 94 entries name the cells 1 to 94 in code order, so entry k
// names the code 0xA4A1 + k. The six after them are second names.
inline constexpr int kJamoCodeCount = 94;
inline constexpr unsigned kFirstJamoCode = 0xA4A1;
inline constexpr unsigned kLastJamoCode = 0xA4FE;

extern const JamoName g_jamoNames[kJamoNameCount];

}  // namespace sylpic
