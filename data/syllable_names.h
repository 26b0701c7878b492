#pragma once
// The romanised names of the three parts of a precomposed Hangul syllable,
// indexed like the syllable's composition: s = (L * 21 + V) * 28 + T.

namespace sylpic {

inline constexpr int kInitialCount = 19;
inline constexpr int kMedialCount = 21;
inline constexpr int kFinalCount = 28;

extern const char* const g_szInitialNames[kInitialCount];
extern const char* const g_szMedialNames[kMedialCount];
// Entry 0 is the empty name: no final.
extern const char* const g_szFinalNames[kFinalCount];

}  // namespace sylpic
