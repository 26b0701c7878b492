#include "tools/code_page_source.h"

#include <unicode/unorm2.h>

#include <cstddef>

#include "hangul/iconv_handle.h"

namespace sylpic {

namespace {


// Decodes a two-byte sequence of the code page `from` into exactly one
// character. Returns 1 and sets *u, or 0.
int DecodePair(IconvHandle& decoder, unsigned char first, unsigned char second, char32_t* u)
{
    const unsigned char in[2] = {first, second};
    unsigned char out[16];
    if (decoder.Convert(in, 2, out, sizeof out) != 4)
        return 0;  // invalid, or not exactly one character
    *u = static_cast<char32_t>(out[0] | out[1] << 8 | out[2] << 16 | static_cast<std::uint32_t>(out[3]) << 24);
    return 1;
}

IconvHandle& Cp932Decoder()
{
    static IconvHandle decoder("UTF-32LE", "CP932");
    return decoder;
}

}  // namespace

void JisToShiftJis(int row, int cell, unsigned char* lead, unsigned char* trail)
{
    *lead = static_cast<unsigned char>((row + 1) / 2 + (row <= 62 ? 0x80 : 0xC0));
    if (row % 2 == 0)
        *trail = static_cast<unsigned char>(cell + 0x9E);
    else
        *trail = static_cast<unsigned char>(cell + (cell >= 64 ? 0x40 : 0x3F));  // 0x7F is skipped
}

int DecodeCp932(unsigned char lead, unsigned char trail, char32_t* u)
{
    IconvHandle& decoder = Cp932Decoder();
    if (!decoder.IsOpen())
        return 0;
    return DecodePair(decoder, lead, trail, u);
}

char32_t UnifyIdeograph(char32_t u)
{
    if (u < 0xF900 || u > 0xFAFF)
        return u;
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfd = unorm2_getNFDInstance(&status);
    if (U_FAILURE(status))
        return u;
    UChar decomposition[8];
    const int32_t length = unorm2_getDecomposition(nfd, static_cast<UChar32>(u), decomposition, 8, &status);
    // A compatibility ideograph decomposes to one BMP ideograph; the unified
    // ideographs of the block (U+FA0E and others) have no decomposition.
    if (U_FAILURE(status) || length != 1)
        return u;
    return decomposition[0];
}

int CCp949Catalogue::Load()
{
    IconvHandle decoder("UTF-32LE", "CP949");
    if (!decoder.IsOpen() || !Cp932Decoder().IsOpen())
        return -1;
    m_decoded.clear();
    m_lowestUnified.clear();
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x41; trail <= 0xFE; ++trail) {
            char32_t u;
            if (!DecodePair(decoder, static_cast<unsigned char>(lead), static_cast<unsigned char>(trail), &u))
                continue;
            const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
            m_decoded[code] = u;
            // Codes are visited in ascending order, so the first one kept is the lowest.
            m_lowestUnified.emplace(UnifyIdeograph(u), code);
        }
    }
    return 0;
}

std::uint16_t CCp949Catalogue::LowestCode(char32_t u) const
{
    const auto it = m_lowestUnified.find(UnifyIdeograph(u));
    return it == m_lowestUnified.end() ? 0 : it->second;
}

std::uint16_t CCp949Catalogue::EncodedCode(char32_t u) const
{
    IconvHandle encoder("CP949", "UTF-32LE");
    if (!encoder.IsOpen())
        return 0;
    const unsigned char in[4] = {static_cast<unsigned char>(u), static_cast<unsigned char>(u >> 8),
                                 static_cast<unsigned char>(u >> 16), static_cast<unsigned char>(u >> 24)};
    unsigned char out[8];
    if (encoder.Convert(in, 4, out, sizeof out) != 2)
        return 0;
    return static_cast<std::uint16_t>(out[0] << 8 | out[1]);
}

char32_t CCp949Catalogue::Decode(std::uint16_t code) const
{
    const auto it = m_decoded.find(code);
    return it == m_decoded.end() ? 0 : it->second;
}

}  // namespace sylpic
