#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "data/colour_names.h"
#include "imaging/page_colours.h"

using namespace sylpic;

namespace {

using Pair = std::array<unsigned char, kColourPairBytes>;

Pair ColoursOf(const char* bodyAttributes)
{
    Pair colours{};
    ResetColourPair(colours.data());
    ReadBodyColours(bodyAttributes, colours.data());
    return colours;
}

constexpr Pair kDefault = {255, 255, 255, 0, 0, 0};

Pair Background(unsigned char r, unsigned char g, unsigned char b) { return {r, g, b, 0, 0, 0}; }
Pair Text(unsigned char r, unsigned char g, unsigned char b) { return {255, 255, 255, r, g, b}; }

}  // namespace

TEST(ColourNames, KeepsTheHistoricalSpellings)
{
    unsigned char rgb[3] = {1, 2, 3};
    ASSERT_EQ(LookupColourName("cornflower", rgb), 1);
    EXPECT_EQ(rgb[0], 0x64); EXPECT_EQ(rgb[1], 0x95); EXPECT_EQ(rgb[2], 0xED);
    ASSERT_EQ(LookupColourName("lightgrey", rgb), 1);
    EXPECT_EQ(rgb[0], 0xD3);
    ASSERT_EQ(LookupColourName("darkseagreen", rgb), 1);
    EXPECT_EQ(rgb[0], 0x8F); EXPECT_EQ(rgb[1], 0xBC); EXPECT_EQ(rgb[2], 0x8B);

    unsigned char untouched[3] = {1, 2, 3};
    for (const char* unknown : {"cornflowerblue", "fuchsia", "lightgray", "grey", "zebra", "eggshell"}) {
        EXPECT_EQ(LookupColourName(unknown, untouched), 0) << unknown;
        EXPECT_EQ(untouched[0], 1); EXPECT_EQ(untouched[1], 2); EXPECT_EQ(untouched[2], 3);
    }
    // Names longer than 32 characters are refused before any comparison.
    EXPECT_EQ(LookupColourName("aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", untouched), 0);
    EXPECT_EQ(LookupColourName("1red", untouched), 0);
}

TEST(ColourNames, EveryRowIsFoundByItsOwnName)
{
    for (int i = 0; i < kColourNameCount; ++i) {
        std::string upper = g_colourNames[i].name;
        for (char& c : upper)
            c = static_cast<char>(c - 'a' + 'A');
        unsigned char rgb[3] = {};
        ASSERT_EQ(LookupColourName(upper.c_str(), rgb), 1) << upper;
        // A name that is the beginning of an earlier row gives that row
        // (none in this table), so every row must come back as itself.
        const std::uint32_t found = (rgb[0] << 16) | (rgb[1] << 8) | rgb[2];
        EXPECT_EQ(found, g_colourNames[i].rgb) << upper;
    }
}

TEST(ParseHexByte, ReadsTwoDigitsOtherCharactersCountZero)
{
    EXPECT_EQ(ParseHexByte("ff"), 255);
    EXPECT_EQ(ParseHexByte("A0"), 160);
    EXPECT_EQ(ParseHexByte("7z"), 0x70);
    EXPECT_EQ(ParseHexByte("G1"), 1);
    EXPECT_EQ(ParseHexByte("f"), 0xF0);  // the terminator counts as 0
    EXPECT_EQ(ParseHexByte(""), 0);
}

TEST(PageColours, HexValues)
{
    EXPECT_EQ(ColoursOf("bgcolor=#FF8000"), Background(255, 128, 0));
    EXPECT_EQ(ColoursOf("BGCOLOR=\"#ff8000\""), Background(255, 128, 0));
    EXPECT_EQ(ColoursOf("bgcolor=#GG0000"), Background(0, 0, 0));
    EXPECT_EQ(ColoursOf("text = \"#00ff00\" bgcolor=#000080"), (Pair{0, 0, 128, 0, 255, 0}));
}

TEST(PageColours, ShortHexIsReadWithDigitsDoubled)
{
    EXPECT_EQ(ColoursOf("text=\"#fff\""), Text(255, 255, 255));
    EXPECT_EQ(ColoursOf("bgcolor=\"#f0f\""), Background(255, 0, 255));
    EXPECT_EQ(ColoursOf("text=#FFF"), Text(255, 255, 255));
    EXPECT_EQ(ColoursOf("bgcolor=#f80"), Background(255, 136, 0));
    EXPECT_EQ(ColoursOf("bgcolor=#a1B text=red"), (Pair{0xAA, 0x11, 0xBB, 255, 0, 0}));
    EXPECT_EQ(ColoursOf("text=#123/"), Text(0x11, 0x22, 0x33));
}

TEST(PageColours, OtherShortValuesReadSixCharactersButNotPastTheEnd)
{
    // Four digits then the closing quote: the quote and the end count as 0.
    EXPECT_EQ(ColoursOf("bgcolor=\"#ffff\""), Background(255, 255, 0));
    // A letter after three digits makes it no short form.
    EXPECT_EQ(ColoursOf("bgcolor=#fffg"), Background(255, 0xF0, 0));
    EXPECT_EQ(ColoursOf("bgcolor=#"), Background(0, 0, 0));
    EXPECT_EQ(ColoursOf("bgcolor=#1"), Background(0x10, 0, 0));
    // "12", then " t" (0) and "ex" (0xE0) from the next attribute.
    EXPECT_EQ(ColoursOf("bgcolor=#12 text=blue"), (Pair{0x12, 0, 0xE0, 0, 0, 255}));
}

TEST(PageColours, ColourNames)
{
    EXPECT_EQ(ColoursOf("text=Navy"), Text(0, 0, 128));
    EXPECT_EQ(ColoursOf("BgColor=\"White\" TEXT=\"MAROON\""), (Pair{255, 255, 255, 128, 0, 0}));
    EXPECT_EQ(ColoursOf("bgcolor=fuchia"), Background(255, 0, 255));
    EXPECT_EQ(ColoursOf("bgcolor=fuchsia"), kDefault);
    EXPECT_EQ(ColoursOf("bgcolor=lightgray"), kDefault);
    // The beginning of a name gives the first such name in table order.
    EXPECT_EQ(ColoursOf("text=dark"), Text(0, 0, 139));
    EXPECT_EQ(ColoursOf("bgcolor=w"), Background(245, 222, 179));
    EXPECT_EQ(ColoursOf("bgcolor=b"), Background(0xF5, 0xF5, 0xDC));
    EXPECT_EQ(ColoursOf("bgcolor=gr"), Background(128, 128, 128));
    EXPECT_EQ(ColoursOf("bgcolor=light"), Background(0xAD, 0xD8, 0xE6));
}

TEST(PageColours, UnreadableValuesLeaveTheColourAlone)
{
    EXPECT_EQ(ColoursOf("bgcolor='black'"), kDefault);
    EXPECT_EQ(ColoursOf("bgcolor=-red"), kDefault);
    EXPECT_EQ(ColoursOf("bgcolor=cornflowerblue"), kDefault);
    EXPECT_EQ(ColoursOf("bgcolor"), kDefault);
    EXPECT_EQ(ColoursOf("bgcolor="), kDefault);
    EXPECT_EQ(ColoursOf("bgcolor=\""), kDefault);
    EXPECT_EQ(ColoursOf(""), kDefault);
    EXPECT_EQ(ColoursOf("class=page"), kDefault);
    ReadBodyColours(nullptr, nullptr);  // a missing text is no body tag at all
}

TEST(PageColours, FindReportsWhetherAValueFollowed)
{
    unsigned char rgb[3] = {9, 9, 9};
    EXPECT_EQ(FindColourAttribute("bgcolor=zzz", "BGCOLOR", rgb), 1);  // found, not understood
    EXPECT_EQ(rgb[0], 9);
    EXPECT_EQ(FindColourAttribute("bgcolor=  ", "BGCOLOR", rgb), 0);
    EXPECT_EQ(FindColourAttribute("text=red", "BGCOLOR", rgb), 0);
    EXPECT_EQ(FindColourAttribute("bgcolor=red", "BGCOLOR", rgb), 1);
    EXPECT_EQ(rgb[0], 255);
}

TEST(PageColours, AttributeNamesCountOnlyWhereTheyStandWhole)
{
    // The letters "text" inside another attribute do not make a TEXT attribute.
    EXPECT_EQ(ColoursOf("class=textpage bgcolor=red"), Background(255, 0, 0));
    EXPECT_EQ(ColoursOf("class=\"textpage\" text=navy"), Text(0, 0, 128));
    EXPECT_EQ(ColoursOf("context=red"), kDefault);
    EXPECT_EQ(ColoursOf("textcolor=red"), kDefault);
    // A lone BGCOLOR does not take the next attribute's value.
    EXPECT_EQ(ColoursOf("bgcolor text=navy"), Text(0, 0, 128));
    // Spaces around the equals sign and quotes before the name are fine.
    EXPECT_EQ(ColoursOf("bgcolor =\tred"), Background(255, 0, 0));
    EXPECT_EQ(ColoursOf("style=\"x\"\tTEXT\n=\"#0000ff\""), Text(0, 0, 255));
    EXPECT_EQ(ColoursOf("onload='x'text=red"), Text(255, 0, 0));
}

TEST(PageColours, DoubleByteTextIsNeitherLettersNorWhiteSpace)
{
    // 0x83 0x54 is a code page 932 character whose trail byte is 'T'.
    EXPECT_EQ(ColoursOf("title=\x83\x54" "ext=red"), kDefault);
    // Bytes of 0x80 and above are skipped before a value and end it.
    EXPECT_EQ(ColoursOf("text=\x82\xA0red"), Text(255, 0, 0));
    EXPECT_EQ(ColoursOf("text=red\x82\xA0"), Text(255, 0, 0));
}
