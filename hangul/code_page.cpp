#include "hangul/code_page.h"

#include "hangul/iconv_handle.h"

#include <cstddef>
#include <cstdint>

namespace {


const char kUtf16[] = "UTF-16LE";
const char kCp949[] = "CP949";

// Both directions of code page 949, read once from iconv so that no
// conversion call is made per character.
struct Cp949Tables {
    // Decoding of the pairs whose first byte is 0x80-0xFF: the single UTF-16
    // unit of the double-byte character, or 0 when the pair is not exactly
    // one character. A first byte below 0x80 is a one-byte character, so the
    // pair is always two characters.
    char16_t pairToUnit[128][256] = {};
    // Encoding of every UTF-16 unit: a value of 0x100 or more is a two-byte
    // code (lead byte in the high half, always 0x81 or above); a smaller value
    // is the single byte written.
    std::uint16_t unitToCode[65536] = {};
    bool available = false;

    Cp949Tables()
    {
        IconvHandle decoder(kUtf16, kCp949);
        IconvHandle encoder(kCp949, kUtf16);
        available = decoder.IsOpen() && encoder.IsOpen();
        FillDecoding(decoder);
        FillEncoding(encoder);
    }

    void FillDecoding(IconvHandle& decoder)
    {
        if (!decoder.IsOpen())
            return;
        for (int first = 0x80; first <= 0xFF; ++first) {
            for (int second = 0; second <= 0xFF; ++second) {
                const unsigned char in[2] = {static_cast<unsigned char>(first),
                                             static_cast<unsigned char>(second)};
                unsigned char out[8];
                // Exactly one UTF-16 unit (two bytes) means one character.
                if (decoder.Convert(in, 2, out, sizeof out) != 2)
                    continue;
                const char16_t unit = static_cast<char16_t>(out[0] | (out[1] << 8));
                if (unit >= 0xD800 && unit <= 0xDFFF)
                    continue;  // half of a surrogate pair is no character
                pairToUnit[first - 0x80][second] = unit;
            }
        }
    }

    void FillEncoding(IconvHandle& encoder)
    {
        for (int unit = 0; unit <= 0xFFFF; ++unit) {
            // The default character for what code page 949 lacks.
            unitToCode[unit] = '?';
            if (unit < 0x80) {
                unitToCode[unit] = static_cast<std::uint16_t>(unit);
                continue;
            }
            if (!encoder.IsOpen() || (unit >= 0xD800 && unit <= 0xDFFF))
                continue;
            const unsigned char in[2] = {static_cast<unsigned char>(unit & 0xFF),
                                         static_cast<unsigned char>(unit >> 8)};
            unsigned char out[8];
            const int written = encoder.Convert(in, 2, out, sizeof out);
            if (written == 2 && out[0] >= 0x81)
                unitToCode[unit] = static_cast<std::uint16_t>((out[0] << 8) | out[1]);
            else if (written == 1)
                unitToCode[unit] = out[0];
        }
    }
};

const Cp949Tables& Tables()
{
    // Built on first use; a function-local static is initialised once, even
    // when first used from several threads.
    static const Cp949Tables tables;
    return tables;
}

}  // namespace

bool IsCodePage949Available()
{
    return Tables().available;
}

int Cp949PairToUnit(unsigned char first, unsigned char second, char16_t* unit)
{
    if (first < 0x80)
        return 0;  // a one-byte character, then another: no room for two units
    const char16_t decoded = Tables().pairToUnit[first - 0x80][second];
    if (decoded == 0)
        return 0;
    *unit = decoded;
    return 1;
}

int UnitToCp949(char16_t unit, unsigned char out[2])
{
    const std::uint16_t code = Tables().unitToCode[unit];
    if (code >= 0x100) {
        out[0] = static_cast<unsigned char>(code >> 8);
        out[1] = static_cast<unsigned char>(code & 0xFF);
        return 2;
    }
    out[0] = static_cast<unsigned char>(code);
    return 1;
}
