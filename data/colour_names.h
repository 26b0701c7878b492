#pragma once
// The colour names a body tag may use: 140 rows sorted by name, each a
// lower-case name and its colour as 0x00RRGGBB, and an index by initial letter.
#include <cstdint>

namespace sylpic {

struct ColourName {
    const char* name;
    std::uint32_t rgb;
};

inline constexpr int kColourNameCount = 140;
extern const ColourName g_colourNames[kColourNameCount];

// For each letter a to z: the first row whose name begins with it, and one
// past the last. Letters without names have an empty range.
struct ColourNameRange {
    int first;
    int end;
};
extern const ColourNameRange g_colourNameIndex[26];

}  // namespace sylpic
