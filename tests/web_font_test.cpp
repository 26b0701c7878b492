// The web font's parts that no outside reader checks: the hash, the licence
// bits, and the test of a whole WOFF2 file (fontTools reads the fonts back
// in tools/check_web_font.py).
#include <gtest/gtest.h>

#include <string>

#include "hangul/ascii_text.h"
#include "imaging/font_engine.h"
#include "imaging/sha256.h"
#include "imaging/web_font.h"

using namespace sylpic;

namespace {

std::string Hex(const std::array<unsigned char, 32>& digest)
{
    std::string text;
    for (unsigned char b : digest) {
        text += kLowerHexDigits[b >> 4];
        text += kLowerHexDigits[b & 0xF];
    }
    return text;
}

TEST(Sha256, KnownDigestsWhateverThePieces)
{
    Sha256 abc;
    abc.Update("abc", 3);
    EXPECT_EQ(Hex(abc.Finish()), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // 56 bytes: the length no longer fits the first block.
    const std::string two = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    Sha256 whole, pieces;
    whole.Update(two.data(), two.size());
    for (char c : two)
        pieces.Update(&c, 1);
    const std::string expected = "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1";
    EXPECT_EQ(Hex(whole.Finish()), expected);
    EXPECT_EQ(Hex(pieces.Finish()), expected);
}

TEST(EmbeddingPermission, TheLeastRestrictiveOfBitsZeroToThreeThenSubsettingAndOutlines)
{
    EXPECT_EQ(ReadEmbeddingPermission(0x0000), EmbeddingPermission::kAllowed);
    EXPECT_EQ(ReadEmbeddingPermission(0x0008), EmbeddingPermission::kAllowed);
    EXPECT_EQ(ReadEmbeddingPermission(0x0002), EmbeddingPermission::kRestricted);
    EXPECT_EQ(ReadEmbeddingPermission(0x0006), EmbeddingPermission::kAllowed);  // preview & print wins
    EXPECT_EQ(ReadEmbeddingPermission(0x000A), EmbeddingPermission::kAllowed);
    EXPECT_EQ(ReadEmbeddingPermission(0x0108), EmbeddingPermission::kNoSubsetting);
    EXPECT_EQ(ReadEmbeddingPermission(0x0204), EmbeddingPermission::kBitmapOnly);
    EXPECT_NE(EmbeddingPermissionText(EmbeddingPermission::kNoSubsetting).find("0x0100"), std::string::npos);
}

TEST(WebFont, AWholeFileIsToldFromACutOrDamagedOneAndItsNameFollowsItsCharacters)
{
    const std::vector<FaceFileName> files = ListFamilyFaceFiles("NanumGothic");
    ASSERT_FALSE(files.empty());
    WebFontFamily family;
    family.faces.resize(1);
    ASSERT_EQ(LoadWebFontFace(files[0].path, files[0].index, family.faces[0]), ImagingStatus::kOk);
    const std::vector<char32_t> text = {U' ', U'A', U'V', 0xAC00, 0xD55C};
    ByteBuffer woff2;
    ASSERT_EQ(SubsetToWoff2(family.faces[0], text, "sylpic-0123456789abcdef", woff2), ImagingStatus::kOk);
    EXPECT_TRUE(IsWholeWoff2(woff2.data(), woff2.size()));
    for (std::size_t cut : {std::size_t{0}, std::size_t{47}, std::size_t{48}, woff2.size() / 2, woff2.size() - 1})
        EXPECT_FALSE(IsWholeWoff2(woff2.data(), cut)) << cut;
    ByteBuffer damaged = woff2;
    damaged[0] = 'x';
    EXPECT_FALSE(IsWholeWoff2(damaged.data(), damaged.size()));
    damaged = woff2;
    damaged[20] = 0x7F;  // the compressed size runs past the end
    EXPECT_FALSE(IsWholeWoff2(damaged.data(), damaged.size()));

    const std::string hash = WebFontHash(family, text);
    EXPECT_EQ(hash.size(), 16u);
    EXPECT_EQ(hash, WebFontHash(family, text));
    EXPECT_NE(hash, WebFontHash(family, {U' ', U'A', U'V', 0xAC00}));
}

}  // namespace
