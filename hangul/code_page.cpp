#include "hangul/code_page.h"

#include <cstdint>

#include "data/cp949_table.h"
#include "hangul/iconv_handle.h"

namespace sylpic {

namespace {

// Encoding of every UTF-16 unit: a value of 0x100 or more is a two-byte code
// (lead byte in the high half, always 0x81 or above); a smaller value is the
// single byte written. The decoding table is one to one and the converter it
// was generated from encodes exactly its inverse, so the encoding is built
// from it.
struct Cp949Encoding {
    std::uint16_t unitToCode[65536];

    Cp949Encoding()
    {
        for (int unit = 0; unit <= 0xFFFF; ++unit)
            unitToCode[unit] = unit < 0x80 ? static_cast<std::uint16_t>(unit) : '?';  // the default character
        for (int lead = kCp949FirstLead; lead <= kCp949LastLead; ++lead) {
            for (int trail = kCp949FirstTrail; trail <= kCp949LastTrail; ++trail) {
                const char16_t unit = g_cp949Decoding[Cp949TableIndex(lead, trail)];
                if (unit != 0)
                    unitToCode[unit] = static_cast<std::uint16_t>(lead << 8 | trail);
            }
        }
    }
};

const Cp949Encoding& Encoding()
{
    // Built on first use; a function-local static is initialised once, even
    // when first used from several threads.
    static const Cp949Encoding encoding;
    return encoding;
}

}  // namespace

bool IsCodePage949Available()
{
    // The tables are built in, but the code page counts as available only
    // where the C library knows it too, as it always has.
    static const bool available = [] {
        IconvHandle decoder("UTF-16LE", "CP949");
        IconvHandle encoder("CP949", "UTF-16LE");
        return decoder.IsOpen() && encoder.IsOpen();
    }();
    return available;
}

int Cp949PairToUnit(unsigned char first, unsigned char second, char16_t* unit)
{
    // A first byte below 0x80 is a one-byte character, then another: no room
    // for two units. No pair outside the table is one character.
    if (first < kCp949FirstLead || first > kCp949LastLead || second < kCp949FirstTrail || second > kCp949LastTrail)
        return 0;
    const char16_t decoded = g_cp949Decoding[Cp949TableIndex(first, second)];
    if (decoded == 0)
        return 0;
    *unit = decoded;
    return 1;
}

int UnitToCp949(char16_t unit, unsigned char out[2])
{
    const std::uint16_t code = Encoding().unitToCode[unit];
    if (code >= 0x100) {
        out[0] = static_cast<unsigned char>(code >> 8);
        out[1] = static_cast<unsigned char>(code & 0xFF);
        return 2;
    }
    out[0] = static_cast<unsigned char>(code);
    return 1;
}

}  // namespace sylpic
