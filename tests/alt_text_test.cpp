#include <gtest/gtest.h>

#include <cstring>

#include "convert/alt_text.h"
#include "hangul/block_buffers.h"
#include "hangul/glyph_text.h"

using namespace sylpic;

namespace {

TEST(AltText, EscapedForEitherPageEncoding)
{
    const std::u32string drawn = U"한<b>&\"'♥ x";
    EXPECT_EQ(BuildAltText(drawn, PageEncoding::kUtf8), "한&lt;b&gt;&amp;&quot;'♥ x");
    EXPECT_EQ(BuildAltText(drawn, PageEncoding::kCp932), "&#54620;&lt;b&gt;&amp;&quot;'&#9829; x");
    EXPECT_EQ(BuildAltText(U"😀\u0080", PageEncoding::kCp932), "&#128512;&#128;");
}

TEST(AltText, ControlsLeftOutAndSurrogatesReplaced)
{
    const std::u32string drawn = {U'a', 0x09, 0x1A, 0x1F, 0x7F, 0xD800, U'b', 0xDFFF, 0x110000, 0};
    EXPECT_EQ(BuildAltText(drawn, PageEncoding::kUtf8), "a\xEF\xBF\xBD" "b\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(BuildAltText(drawn, PageEncoding::kCp932), "a&#65533;b&#65533;&#65533;");
}

TEST(AltText, GlyphStringAsDrawn)
{
    GlyphString narrow{};
    const unsigned char text[] = {'A', 0xB0, 0xA1, 0xA2, 0xBE, 0xB0, '!', 0, 'Q'};
    std::memcpy(narrow.bytes, text, sizeof text);
    EXPECT_EQ(DecodeGlyphString(narrow, false), U"A가♥\uFFFD!") << "a lone lead byte is one U+FFFD";
    EXPECT_EQ(BuildAltText(narrow, false, PageEncoding::kCp932), "A&#44032;&#9829;&#65533;!");

    GlyphString wide{};
    const char16_t units[] = {u'A', 0xD55C, 0xD83D, 0xDE00, 0xDC00, 0, u'Q'};
    for (std::size_t i = 0; i < std::size(units); ++i) {
        wide.bytes[2 * i] = static_cast<unsigned char>(units[i]);
        wide.bytes[2 * i + 1] = static_cast<unsigned char>(units[i] >> 8);
    }
    EXPECT_EQ(BuildAltText(wide, true, PageEncoding::kUtf8), "A한😀\xEF\xBF\xBD") << "stops at the zero unit";

    // Without a terminator, drawing and the alt text go to the end of the room.
    std::memset(wide.bytes, 0, sizeof wide.bytes);
    for (std::size_t i = 0; i + 1 < sizeof wide.bytes; i += 2)
        wide.bytes[i] = 'w';
    EXPECT_EQ(DecodeGlyphString(wide, true).size(), sizeof wide.bytes / 2);
}

}  // namespace
