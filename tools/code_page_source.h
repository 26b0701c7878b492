#pragma once
// The generator's view of the two code pages: code page 932 decoding and
// code page 949 decoding and encoding, all taken from the C library's iconv
// (glibc's CP932 and CP949 converters), and the canonical decompositions of
// the CJK compatibility ideographs, taken from ICU's normaliser.
#include <cstdint>
#include <map>

namespace sylpic {

// JIS X 0208 row and cell (1 to 94 each) to the two Shift-JIS bytes.
void JisToShiftJis(int row, int cell, unsigned char* lead, unsigned char* trail);

// Decodes the two bytes as code page 932. Returns 1 and sets *u when they are
// exactly one character, 0 when code page 932 leaves the pair undefined.
int DecodeCp932(unsigned char lead, unsigned char trail, char32_t* u);

// The unified ideograph a CJK compatibility ideograph (U+F900 to U+FAFF)
// stands for, by its canonical decomposition; any other character unchanged.
char32_t UnifyIdeograph(char32_t u);

// Every two-byte code of code page 949, read once through iconv.
class CCp949Catalogue {
public:
    // Decodes all codes. Returns 0, or -1 when iconv lacks a converter.
    int Load();

    // The lowest two-byte code that decodes to u, a code of a compatibility
    // ideograph counting as a code of its unified ideograph. 0 when none.
    std::uint16_t LowestCode(char32_t u) const;

    // What the code page 949 encoder returns for u: the two-byte code, or 0
    // when it gives no two-byte code.
    std::uint16_t EncodedCode(char32_t u) const;

    // The character the two-byte code decodes to, or 0 when none.
    char32_t Decode(std::uint16_t code) const;

private:
    std::map<std::uint16_t, char32_t> m_decoded;       // code -> character
    std::map<char32_t, std::uint16_t> m_lowestUnified;  // unified character -> lowest code
};

}  // namespace sylpic
