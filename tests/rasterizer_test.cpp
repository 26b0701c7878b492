#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/main_dlg.h"
#include "hangul/block_buffers.h"
#include "hangul/code_page.h"
#include "convert/block_state.h"
#include "imaging/font_engine.h"
#include "hangul/ascii_text.h"

using namespace sylpic;

namespace {

const char* const kFace = "NanumGothic";

void SetNarrowGlyphs(const std::string& bytes)
{
    BeginPage(false);
    std::memset(g_glyphString.bytes, 0, sizeof g_glyphString.bytes);
    std::memcpy(g_glyphString.bytes, bytes.data(), std::min(bytes.size(), sizeof g_glyphString.bytes - 2));
    g_glyphString.length = static_cast<int>(std::min(bytes.size(), sizeof g_glyphString.bytes - 2));
}

void SetUnicodeGlyphs(const std::u16string& units)
{
    BeginPage(true);
    std::memset(g_glyphString.bytes, 0, sizeof g_glyphString.bytes);
    std::size_t at = 0;
    for (char16_t unit : units) {
        if (at + 2 > sizeof g_glyphString.bytes - 2)
            break;
        g_glyphString.bytes[at++] = static_cast<unsigned char>(unit & 0xFF);
        g_glyphString.bytes[at++] = static_cast<unsigned char>(unit >> 8);
    }
    g_glyphString.length = static_cast<int>(at);
}

struct Bitmap {
    int width = 0, height = 0, rowBytes = 0;
    std::vector<unsigned char> bits;

    bool Ink(int x, int y) const { return bits[static_cast<std::size_t>(y) * rowBytes + x / 8] & (0x80 >> (x % 8)); }
    int InkCount() const
    {
        int count = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                count += Ink(x, y);
        return count;
    }
};

// Renders the glyph string as it stands and returns the bitmap.
Bitmap Render(CMainDlg& dlg, const DeviceContext* dc = nullptr)
{
    Bitmap bitmap;
    EXPECT_EQ(dlg.RenderGlyphs(dc), 1);
    bitmap.width = dlg.m_nImageWidth;
    bitmap.height = dlg.m_nImageHeight;
    bitmap.rowBytes = dlg.m_nRowBytes;
    EXPECT_NE(dlg.m_pImageBits, nullptr);
    EXPECT_EQ(dlg.m_nImageBitsSize, static_cast<std::size_t>(bitmap.rowBytes) * bitmap.height);
    if (dlg.m_pImageBits)
        bitmap.bits.assign(dlg.m_pImageBits.get(), dlg.m_pImageBits.get() + dlg.m_nImageBitsSize);
    return bitmap;
}

CMainDlg& DialogWith(CMainDlg& dlg, const char* size)
{
    dlg.m_strFontName = kFace;
    dlg.m_strFontSize = size;
    return dlg;
}

TextExtent MeasureAt(int em, const std::u32string& text)
{
    HangulFont font(kFace, em);
    EXPECT_TRUE(font.ok());
    return font.Measure(text);
}

// The size text and resolution must give the em height `em`: the bitmap
// measures what the font measures at exactly that height and no other.
void ExpectEmHeight(const char* sizeText, int dpi, int em)
{
    SCOPED_TRACE(std::string("size ") + sizeText + " at " + std::to_string(dpi) + " dpi");
    const std::u32string text = U"가나다라 ABCDEFGHIJ";
    SetUnicodeGlyphs(u"가나다라 ABCDEFGHIJ");
    CMainDlg dlg;
    DialogWith(dlg, sizeText);
    DeviceContext dc;
    dc.logPixelsY = dpi;
    ASSERT_EQ(dlg.RenderGlyphs(&dc), 1);
    const TextExtent expected = MeasureAt(em, text);
    EXPECT_EQ(dlg.m_nImageWidth, expected.width);
    EXPECT_EQ(dlg.m_nImageHeight, expected.height);
    for (int other : {em - 1, em + 1}) {
        const TextExtent near = MeasureAt(other, text);
        EXPECT_TRUE(near.width != expected.width || near.height != expected.height) << "em " << other << " is no different";
    }
}

}  // namespace

TEST(FontEngine, ListsNanumFacesSortedWithoutDuplicates)
{
    const std::vector<std::string> faces = ListHangulFaces();
    ASSERT_FALSE(faces.empty());
    EXPECT_NE(std::find(faces.begin(), faces.end(), "NanumGothic"), faces.end());
    for (std::size_t i = 1; i < faces.size(); ++i)
        EXPECT_LT(CompareIgnoringCase(faces[i - 1], faces[i]), 0) << faces[i];
    for (const std::string& face : faces)
        EXPECT_TRUE(HangulFont(face, 16).ok()) << face;
}

TEST(FontEngine, FacesAreChosenByNameIgnoringCase)
{
    EXPECT_TRUE(HangulFont("nanumgothic", 16).ok());
    EXPECT_TRUE(HangulFont("NANUMGOTHIC", 16).ok());
    EXPECT_FALSE(HangulFont("NanumGothicX", 16).ok());
    EXPECT_FALSE(HangulFont("Nanum", 16).ok());
    EXPECT_FALSE(HangulFont("", 16).ok());
    // A face without Korean is no Hangul face.
    EXPECT_FALSE(HangulFont("DejaVu Sans", 16).ok());

    HangulFont font(kFace, 16);
    const TextExtent empty = font.Measure(U"");
    EXPECT_EQ(empty.width, 0);
    EXPECT_GT(empty.height, 16);  // ascent plus descent exceed the em
    EXPECT_EQ(font.Measure(U"가").height, empty.height);
    EXPECT_EQ(font.Measure(U"가가").width, 2 * font.Measure(U"가").width);
}

TEST(Rasterizer, SizeTextIsClampedTo5To100Points)
{
    ExpectEmHeight("3", 96, 7);
    ExpectEmHeight("abc", 96, 7);
    ExpectEmHeight("250", 96, 133);
    ExpectEmHeight("12pt", 96, 16);
}

TEST(Rasterizer, EmHeightIsRoundedFromPointsAndResolution)
{
    ExpectEmHeight("12", 96, 16);
    ExpectEmHeight("10", 96, 13);
    ExpectEmHeight("11", 96, 15);
    ExpectEmHeight("9", 120, 15);

    // Without a surface the screen's 96 dpi apply.
    SetUnicodeGlyphs(u"가나다라 ABCDEFGHIJ");
    CMainDlg dlg;
    DialogWith(dlg, "11");
    ASSERT_EQ(dlg.RenderGlyphs(nullptr), 1);
    EXPECT_EQ(dlg.m_nImageWidth, MeasureAt(15, U"가나다라 ABCDEFGHIJ").width);
}

TEST(Rasterizer, UnknownFaceFails)
{
    SetNarrowGlyphs("abc");
    CMainDlg dlg;
    DialogWith(dlg, "12");
    dlg.m_strFontName = "No Such Hangul Face";
    EXPECT_EQ(dlg.RenderGlyphs(nullptr), 0);
    EXPECT_EQ(dlg.m_pImageBits, nullptr);

    // The name is cut to 31 characters: a known face with more after it is
    // no longer that face.
    dlg.m_strFontName = std::string(kFace) + std::string(25, ' ');
    EXPECT_EQ(dlg.RenderGlyphs(nullptr), 0);
}

TEST(Rasterizer, RowsArePaddedTo16Bits)
{
    // Find texts that measure exactly 13, 16 and 17 pixels.
    const std::vector<std::pair<int, int>> expected = {{13, 2}, {16, 2}, {17, 4}};
    for (auto [width, rowBytes] : expected) {
        std::string found;
        int foundSize = 0;
        for (int size = 5; size <= 30 && found.empty(); ++size) {
            HangulFont font(kFace, (size * 96 + 36) / 72);
            for (char c : std::string(".il1-Iajx")) {
                for (int n = 1; n <= 6 && found.empty(); ++n) {
                    if (font.Measure(std::u32string(static_cast<std::size_t>(n), static_cast<char32_t>(c))).width == width) {
                        found.assign(static_cast<std::size_t>(n), c);
                        foundSize = size;
                    }
                }
            }
        }
        ASSERT_FALSE(found.empty()) << "no text measures " << width;
        SetNarrowGlyphs(found);
        CMainDlg dlg;
        DialogWith(dlg, std::to_string(foundSize).c_str());
        const Bitmap bitmap = Render(dlg);
        EXPECT_EQ(bitmap.width, width);
        EXPECT_EQ(bitmap.rowBytes, rowBytes) << found;
    }
}

TEST(Rasterizer, InkIsOneBitsAtTheTopLeft)
{
    CMainDlg dlg;
    DialogWith(dlg, "40");

    // A full stop: a little ink near the baseline, none in the upper half.
    SetNarrowGlyphs(".");
    Bitmap dot = Render(dlg);
    ASSERT_GT(dot.InkCount(), 0);
    EXPECT_LT(dot.InkCount(), dot.width * dot.height / 4);
    for (int y = 0; y < dot.height / 2; ++y)
        for (int x = 0; x < dot.width; ++x)
            EXPECT_FALSE(dot.Ink(x, y)) << x << "," << y;

    // The most significant bit is the leftmost pixel: a dot followed by
    // spaces inks only the first glyph's cell, spaces then a dot only the last.
    SetNarrowGlyphs(".   ");
    const Bitmap left = Render(dlg);
    SetNarrowGlyphs("   .");
    const Bitmap right = Render(dlg);
    ASSERT_EQ(left.width, right.width);
    const int cell = left.width / 4;
    for (int y = 0; y < left.height; ++y) {
        for (int x = 0; x < left.width; ++x) {
            if (x >= cell + 2) {
                EXPECT_FALSE(left.Ink(x, y)) << x << "," << y;
            }
            if (x < 3 * cell - 2) {
                EXPECT_FALSE(right.Ink(x, y)) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(left.InkCount(), dot.InkCount());
    EXPECT_EQ(right.InkCount(), dot.InkCount());
}

TEST(Rasterizer, HangulDrawsInkWithinBounds)
{
    CMainDlg dlg;
    DialogWith(dlg, "12");
    dlg.m_colours[0] = 0;  // page colours play no part in the bitmap
    SetUnicodeGlyphs(u"한글");
    const Bitmap hangul = Render(dlg);
    EXPECT_GT(hangul.width, 0);
    EXPECT_EQ(hangul.rowBytes, 2 * ((hangul.width + 15) / 16));
    EXPECT_GT(hangul.InkCount(), 10);
    EXPECT_LT(hangul.InkCount(), hangul.width * hangul.height / 2);
    // The padding after the last pixel of each row stays clear.
    for (int y = 0; y < hangul.height; ++y)
        for (int x = hangul.width; x < hangul.rowBytes * 8; ++x)
            EXPECT_FALSE(hangul.Ink(x, y));

    // The same syllables in code page 949 draw the same bitmap.
    SetNarrowGlyphs("\xC7\xD1\xB1\xDB");
    const Bitmap narrow = Render(dlg);
    EXPECT_EQ(narrow.width, hangul.width);
    EXPECT_EQ(narrow.bits, hangul.bits);

    // A second drawing (from the glyph cache) is identical.
    SetUnicodeGlyphs(u"한글");
    EXPECT_EQ(Render(dlg).bits, hangul.bits);
}

TEST(Rasterizer, TextEndsAtTheFirstZero)
{
    CMainDlg dlg;
    DialogWith(dlg, "12");
    SetUnicodeGlyphs(u"가나");
    const int twoSyllables = Render(dlg).width;
    SetUnicodeGlyphs(std::u16string(u"가나\0다라", 5));
    EXPECT_EQ(Render(dlg).width, twoSyllables);

    SetNarrowGlyphs("AB");
    const int ab = Render(dlg).width;
    SetNarrowGlyphs(std::string("AB\0CD", 5));
    EXPECT_EQ(Render(dlg).width, ab);

    // A glyph string that starts with its terminator: zero width, a height,
    // and no pixel bytes to read.
    SetUnicodeGlyphs(std::u16string(u"\0가", 2));
    const Bitmap empty = Render(dlg);
    EXPECT_EQ(empty.width, 0);
    EXPECT_GT(empty.height, 0);
    EXPECT_EQ(empty.rowBytes, 0);
}

TEST(Rasterizer, UndecodableTextDrawsTheReplacementCharacter)
{
    CMainDlg dlg;
    DialogWith(dlg, "12");
    SetUnicodeGlyphs(u"A\uFFFD");
    const Bitmap replaced = Render(dlg);
    // A lone lead byte before the terminator.
    SetNarrowGlyphs("A\xB0");
    EXPECT_EQ(Render(dlg).bits, replaced.bits);
    // A pair that is no character of code page 949.
    SetNarrowGlyphs("A\xC9\x41");
    const Bitmap brokenPair = Render(dlg);
    SetUnicodeGlyphs(u"A\uFFFDA");
    EXPECT_EQ(brokenPair.bits, Render(dlg).bits);

    // Surrogate pairs are one character; a lone surrogate is replaced.
    SetUnicodeGlyphs(u"A\xD800");
    EXPECT_EQ(Render(dlg).bits, replaced.bits);
}

TEST(Rasterizer, TextWiderThan32768PixelsFails)
{
    std::u16string wide(120, u'한');
    SetUnicodeGlyphs(wide);
    CMainDlg dlg;
    DialogWith(dlg, "100");
    DeviceContext dc;
    dc.logPixelsY = 600;
    EXPECT_EQ(dlg.RenderGlyphs(&dc), 0);
    EXPECT_GT(dlg.m_nImageWidth, 32768);  // the measured size is kept
    EXPECT_GT(dlg.m_nImageHeight, 0);
    EXPECT_EQ(dlg.m_pImageBits, nullptr);
}

TEST(Rasterizer, TextExactly32768PixelsWideIsAccepted)
{
    // Look for a glyph whose advance divides 32768 into at most 128 copies.
    for (int em = 120; em <= 700; ++em) {
        HangulFont font(kFace, em);
        for (char16_t c : std::u16string(u"가WM ")) {
            const int advance = font.Measure(std::u32string(1, c)).width;
            if (advance <= 0 || 32768 % advance != 0 || 32768 / advance > 128)
                continue;
            for (int dpi = 1; dpi <= 3000; ++dpi) {
                if ((100 * dpi + 36) / 72 != em)
                    continue;
                SetUnicodeGlyphs(std::u16string(static_cast<std::size_t>(32768 / advance), c));
                CMainDlg dlg;
                DialogWith(dlg, "100");
                DeviceContext dc;
                dc.logPixelsY = dpi;
                ASSERT_EQ(dlg.RenderGlyphs(&dc), 1);
                EXPECT_EQ(dlg.m_nImageWidth, 32768);
                EXPECT_EQ(dlg.m_nRowBytes, 4096);
                return;
            }
        }
    }
    GTEST_SKIP() << "no glyph of NanumGothic advances by a power of two";
}
