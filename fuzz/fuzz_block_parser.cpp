// The block parser on arbitrary block bytes, in narrow and Unicode mode.
//
// Input: one flags byte, then the block bytes (all of them offered, so that
// the 5000-byte limit is crossed too). Bit 0 of the flags byte selects
// Unicode mode, bit 1 a name fixed by a directive, bit 2 transparency, bit 3
// a UTF-8 page (else code page 932).
// Properties:
// - the glyph string stays within its 256 bytes (and whole code units in
//   Unicode mode); in narrow mode it is code page 949 text made of printable
//   ASCII and valid double-byte characters only;
// - the image base name stays within 8 characters of letters, digits, '_'
//   and '@' (the old letter ㆍ), a fixed name is never touched, and a
//   block with errors is named "_err_";
// - the image key stays within 250 characters and spells the font, size,
//   transparency and glyph bytes, or is empty when those would not fit.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "convert/block_state.h"
#include "convert/image_name.h"
#include "convert/image_key.h"
#include "fuzz/fuzz_support.h"
#include "hangul/block_buffers.h"
#include "hangul/block_parser.h"
#include "hangul/code_page.h"

using namespace sylpic;

namespace {

std::string Hex(const unsigned char* bytes, int count)
{
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    for (int i = 0; i < count; ++i) {
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 15];
    }
    return text;
}

// Letters, digits and '_', and '@' from the names of the old letters.
bool IsNameCharacter(char c)
{
    return c == '_' || c == '@' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void CheckNarrowText(const unsigned char* bytes, int length)
{
    for (int i = 0; i < length;) {
        const unsigned char b = bytes[i];
        if (b < 0x80) {
            FUZZ_CHECK(b >= 26 && b <= 126, "control byte " + std::to_string(b) + " in the glyph string");
            ++i;
            continue;
        }
        FUZZ_CHECK(i + 1 < length, "glyph string ends in half a character");
        char16_t unit = 0;
        FUZZ_CHECK(Cp949PairToUnit(b, bytes[i + 1], &unit) == 1, "glyph string holds no character at " +
                                                                     std::to_string(i) + ": " + Hex(bytes + i, 2));
        i += 2;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return -1;
    const unsigned flags = data[0];
    const bool fixedName = (flags & 2) != 0;
    // What the page scanner does at the page's start, at "[[" and at "]]".
    BeginPage((flags & 1) != 0, (flags & 8) != 0);
    for (std::size_t i = 1; i < size; ++i)
        AddBlockByte(data[i]);
    FUZZ_CHECK(g_blockBytes.count == static_cast<int>(std::min<std::size_t>(size - 1, kMaxBlockBytes)),
               "block byte count " + std::to_string(g_blockBytes.count));
    if (fixedName) {  // as a name directive leaves it
        g_imageName.ApplyDirective("n=fixed_Name9", 13);
    }
    std::memset(g_glyphString.bytes, 0xEE, sizeof g_glyphString.bytes);

    const int errors = ParseBlock(AddToImageName);

    const int length = g_glyphString.length;
    FUZZ_CHECK(errors >= 0, "error count " + std::to_string(errors));
    FUZZ_CHECK(length >= 0 && length <= kMaxGlyphBytes, "glyph string length " + std::to_string(length));
    FUZZ_CHECK(g_glyphString.bytes[kMaxGlyphBytes] == 0xEE && g_glyphString.bytes[kMaxGlyphBytes + 1] == 0xEE,
               "the glyph string wrote into its terminator room");
    if (g_bUnicodeMode)
        FUZZ_CHECK(length % 2 == 0, "half a code unit in the glyph string");
    else
        CheckNarrowText(g_glyphString.bytes, length);

    const std::size_t nameLength = std::strlen(g_imageName.base);
    if (fixedName) {
        FUZZ_CHECK(std::strcmp(g_imageName.base, "fixed_Name9") == 0, "a fixed name was changed");
    } else {
        FUZZ_CHECK(nameLength <= 8, std::string("name over 8 characters: ") + g_imageName.base);
        for (std::size_t i = 0; i < nameLength; ++i)
            FUZZ_CHECK(IsNameCharacter(g_imageName.base[i]), std::string("name ") + g_imageName.base);
        if (errors > 0)
            FUZZ_CHECK(std::strcmp(g_imageName.base, "_err_") == 0,
                       std::string("a block with errors named ") + g_imageName.base);
    }
    IsReservedName(g_imageName.base);

    // The key, built as at the block end: after the terminator, which in
    // Unicode mode counts one zero byte.
    if (length == 0)
        return 0;
    g_glyphString.Terminate(g_bUnicodeMode);
    const int keyBytes = g_glyphString.KeyLength(g_bUnicodeMode);
    const bool transparent = (flags & 4) != 0;
    char key[256];
    std::memset(key, 'K', sizeof key);
    const int keyLength =
        MakeImageKey("NanumGothic", "12", transparent, g_glyphString.bytes, keyBytes, key);
    const std::string expected = std::string("NanumGothic 12 ") + (transparent ? "" : "^") +
                                 Hex(g_glyphString.bytes, keyBytes);
    FUZZ_CHECK(keyLength >= 0 && keyLength <= kMaxImageKey, "key length " + std::to_string(keyLength));
    FUZZ_CHECK(std::strlen(key) == static_cast<std::size_t>(keyLength), "key text and length differ");
    if (expected.size() <= static_cast<std::size_t>(kMaxImageKey))
        FUZZ_CHECK(key == expected, std::string("key ") + key + " instead of " + expected);
    else
        FUZZ_CHECK(keyLength == 0, "a key over 250 characters was made");
    return 0;
}
