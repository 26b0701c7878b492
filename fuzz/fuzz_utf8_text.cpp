// The UTF-8 decoding step and the codes of characters typed into blocks.
//
// Input: any bytes, decoded step by step as a block of a UTF-8 page is.
// Properties:
// - every step takes 1 to 4 bytes, and the steps take exactly the input;
//   only the last step may be a cut character;
// - a character is exactly the bytes it took, written back in UTF-8;
// - the input is free of errors exactly when iconv converts it whole, and
//   then to the same characters;
// - a character's code page 932 code round-trips through iconv, and a code
//   page 949 code decodes back to the character, which then has no
//   round-trip code page 932 code; ASCII has neither.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "hangul/block_character_code.h"
#include "hangul/code_page.h"
#include "hangul/double_byte.h"
#include "hangul/iconv_handle.h"
#include "hangul/utf8_text.h"

using namespace sylpic;

namespace {

std::string Hex(char32_t c)
{
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(c));
    return text;
}

char32_t FromUtf32Le(const unsigned char* b)
{
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<char32_t>(b[3]) << 24);
}

// The character's code page 932 code through iconv when it is two bytes
// that decode back to the character; 0 otherwise.
unsigned RoundTripCp932(char32_t c)
{
    static IconvHandle encoder("CP932", "UTF-32LE");
    static IconvHandle decoder("UTF-32LE", "CP932");
    const unsigned char in[4] = {static_cast<unsigned char>(c), static_cast<unsigned char>(c >> 8),
                                 static_cast<unsigned char>(c >> 16), 0};
    unsigned char code[8];
    unsigned char back[8];
    if (encoder.Convert(in, 4, code, sizeof code) != 2 || decoder.Convert(code, 2, back, sizeof back) != 4 ||
        FromUtf32Le(back) != c)
        return 0;
    return (code[0] << 8) | code[1];
}

void CheckBlockCode(char32_t c)
{
    const BlockCharacterCode code = CodeForBlockCharacter(c);
    const unsigned pair = (code.lead << 8) | code.trail;
    // A code page 932 code counts only where the double-byte map gives it a
    // counterpart; otherwise the code page 949 code is taken.
    unsigned cp932 = RoundTripCp932(c);
    if (cp932 != 0 && MapDoubleByte(static_cast<unsigned char>(cp932 >> 8), static_cast<unsigned char>(cp932)) == 0)
        cp932 = 0;
    if (c < 0x80) {
        FUZZ_CHECK(code.page == BlockCodePage::kNone, "ASCII " + Hex(c) + " was given a code");
        return;
    }
    switch (code.page) {
    case BlockCodePage::kCp932:
        FUZZ_CHECK(cp932 != 0 && cp932 == pair, Hex(c) + " has no round-trip code page 932 code " + Hex(pair));
        break;
    case BlockCodePage::kCp949: {
        char16_t unit = 0;
        FUZZ_CHECK(cp932 == 0, Hex(c) + " has a code page 932 code but was given a code page 949 one");
        FUZZ_CHECK(Cp949PairToUnit(code.lead, code.trail, &unit) == 1 && unit == c,
                   Hex(pair) + " is no code page 949 code of " + Hex(c));
        break;
    }
    case BlockCodePage::kNone: {
        unsigned char cp949[2];
        FUZZ_CHECK(cp932 == 0, Hex(c) + " has a code page 932 code but was given none");
        FUZZ_CHECK(c > 0xFFFF || UnitToCp949(static_cast<char16_t>(c), cp949) != 2,
                   Hex(c) + " has a code page 949 code but was given none");
        break;
    }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::unique_ptr<unsigned char[]> bytes(new unsigned char[size + 1]);
    std::memcpy(bytes.get(), data, size);

    std::u32string decoded;
    bool clean = true;
    std::size_t at = 0;
    while (at < size) {
        const Utf8Step step = DecodeUtf8Step(bytes.get(), size, at);
        FUZZ_CHECK(step.length >= 1 && step.length <= 4 && at + static_cast<std::size_t>(step.length) <= size,
                   "a step of " + std::to_string(step.length) + " bytes at " + std::to_string(at));
        const std::string taken(reinterpret_cast<const char*>(data) + at, static_cast<std::size_t>(step.length));
        at += static_cast<std::size_t>(step.length);
        if (step.result == Utf8Result::kCut)
            FUZZ_CHECK(at == size, "a cut character before the end, at " + std::to_string(at));
        if (step.result != Utf8Result::kCharacter) {
            clean = false;
            continue;
        }
        std::string written;
        AppendUtf8(step.character, written);
        FUZZ_CHECK(written == taken, Hex(step.character) + " was decoded from other bytes than its own");
        decoded += step.character;
        CheckBlockCode(step.character);
    }

    static IconvHandle fromUtf8("UTF-32LE", "UTF-8");
    std::vector<unsigned char> out(4 * size + 4);
    const int converted = fromUtf8.Convert(bytes.get(), size, out.data(), out.size());
    FUZZ_CHECK((converted >= 0) == clean, clean ? "iconv refused what decoded cleanly" : "iconv took what had errors");
    if (converted >= 0) {
        std::u32string expected;
        for (int i = 0; i + 4 <= converted; i += 4)
            expected += FromUtf32Le(out.data() + i);
        FUZZ_CHECK(expected == decoded, "the characters differ from iconv's");
    }
    return 0;
}
