#pragma once

namespace sylpic {

// Code page 949 decoding: for every pair of a lead byte 0x81-0xFE and a trail
// byte 0x41-0xFE, the one UTF-16 code unit the pair decodes to, or 0 where
// the pair is not exactly one character. No other pair is one character.
inline constexpr int kCp949FirstLead = 0x81;
inline constexpr int kCp949LastLead = 0xFE;
inline constexpr int kCp949FirstTrail = 0x41;
inline constexpr int kCp949LastTrail = 0xFE;
inline constexpr int kCp949TrailCount = kCp949LastTrail - kCp949FirstTrail + 1;
inline constexpr int kCp949TableSize = (kCp949LastLead - kCp949FirstLead + 1) * kCp949TrailCount;

// The entry of the pair lead, trail, both inside the ranges above.
inline int Cp949TableIndex(int lead, int trail)
{
    return (lead - kCp949FirstLead) * kCp949TrailCount + (trail - kCp949FirstTrail);
}

extern const char16_t g_cp949Decoding[kCp949TableSize];

}  // namespace sylpic
