#include "hangul/block_character_code.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "hangul/code_page.h"
#include "hangul/double_byte.h"
#include "hangul/iconv_handle.h"

namespace sylpic {

namespace {

// Code page 932 has no character past the BMP, so four bytes a row.
struct Cp932RoundTrip {
    char16_t character;
    std::uint16_t code;  // lead byte in the high half
};

char32_t FromUtf32Le(const unsigned char* bytes)
{
    return bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (static_cast<char32_t>(bytes[3]) << 24);
}

// Every double-byte code of code page 932 that iconv decodes to one
// character and encodes back from it, sorted by character: some nine
// thousand rows (36 KB), against 64K for a table indexed by character.
std::vector<Cp932RoundTrip> ReadCp932RoundTrips()
{
    std::vector<Cp932RoundTrip> rows;
    IconvHandle decoder("UTF-32LE", "CP932");
    IconvHandle encoder("CP932", "UTF-32LE");
    if (!decoder.IsOpen() || !encoder.IsOpen())
        return rows;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (!IsLeadByte(static_cast<unsigned char>(lead)))
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (!IsTrailByte(static_cast<unsigned char>(trail)))
                continue;
            const unsigned char code[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
            unsigned char decoded[8];
            if (decoder.Convert(code, 2, decoded, sizeof decoded) != 4)
                continue;  // undefined, or more than one character
            unsigned char encoded[8];
            if (encoder.Convert(decoded, 4, encoded, sizeof encoded) != 2 || encoded[0] != code[0] ||
                encoded[1] != code[1])
                continue;  // the character's own code is another one
            const char32_t character = FromUtf32Le(decoded);
            if (character > 0xFFFF)
                continue;
            rows.push_back({static_cast<char16_t>(character), static_cast<std::uint16_t>((lead << 8) | trail)});
        }
    }
    std::sort(rows.begin(), rows.end(),
              [](const Cp932RoundTrip& a, const Cp932RoundTrip& b) { return a.character < b.character; });
    return rows;
}

const std::vector<Cp932RoundTrip>& Cp932RoundTrips()
{
    static const std::vector<Cp932RoundTrip> rows = ReadCp932RoundTrips();
    return rows;
}

}  // namespace

BlockCharacterCode CodeForBlockCharacter(char32_t character)
{
    const std::vector<Cp932RoundTrip>& rows = Cp932RoundTrips();
    const auto row = std::lower_bound(rows.begin(), rows.end(), character,
                                      [](const Cp932RoundTrip& r, char32_t c) { return r.character < c; });
    if (row != rows.end() && row->character == character) {
        const auto lead = static_cast<unsigned char>(row->code >> 8);
        const auto trail = static_cast<unsigned char>(row->code & 0xFF);
        // A code that the double-byte map leaves without a counterpart
        // (circled digits, Roman numerals, units, some hanja) would be an
        // error: the character's code page 949 code is taken instead.
        if (MapDoubleByte(lead, trail) != 0)
            return {BlockCodePage::kCp932, lead, trail};
    }

    // Code page 949 has no character past the BMP, and no surrogate is one.
    if (character <= 0xFFFF && !(character >= 0xD800 && character <= 0xDFFF)) {
        unsigned char code[2];
        if (UnitToCp949(static_cast<char16_t>(character), code) == 2)
            return {BlockCodePage::kCp949, code[0], code[1]};
    }
    return {BlockCodePage::kNone, 0, 0};
}

}  // namespace sylpic
