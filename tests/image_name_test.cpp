#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "convert/block_state.h"
#include "convert/image_name.h"
#include "hangul/block_buffers.h"
#include "hangul/block_parser.h"

using namespace sylpic;

namespace {

// The name that one block gives, set up as the page scanner does at [[.
std::string NameOf(const std::string& text, bool unicode = false)
{
    BeginPage(unicode);
    for (char c : text)
        AddBlockByte(static_cast<unsigned char>(c));
    ParseBlock(AddToImageName);
    const std::string name = g_imageName.base;
    BeginPage(false);
    return name;
}

// A block's name so far: characters already added, or a name directive's.
void StartName(const char* name, bool fixed = false)
{
    BeginBlock();
    if (fixed) {
        const std::string directive = std::string("n=") + name;
        g_imageName.ApplyDirective(directive.c_str(), static_cast<int>(directive.size()));
        return;
    }
    std::strcpy(g_imageName.base, name);
}

TEST(ImageName, RomanisedSyllables)
{
    EXPECT_EQ(NameOf("han-gug-eo"), "hankuk");
    EXPECT_EQ(NameOf("an-nyeong"), "annyeo");
    EXPECT_EQ(NameOf("a"), "a");
    // The first character may use eight positions, later ones fill up to six.
    EXPECT_EQ(NameOf("kkwaelph"), "kkwaelph");
    EXPECT_EQ(NameOf("ppyeolh"), "ppyeolh");
    EXPECT_EQ(NameOf("ppyeolh-a"), "ppyeolh");
    EXPECT_EQ(NameOf("a-ppyeolh"), "appyeo");
    EXPECT_EQ(NameOf("ttom"), "ttom");  // an extended code
    EXPECT_EQ(NameOf("x"), "_err_");
}

TEST(ImageName, HangulLetters)
{
    EXPECT_EQ(NameOf("*lk"), "rk");
    EXPECT_EQ(NameOf("*k"), "k");
    EXPECT_EQ(NameOf("*@i"), "@i");
    EXPECT_EQ(NameOf("*00"), "ngng");
    EXPECT_EQ(NameOf("han*yoyae"), "hanyoy");
}

TEST(ImageName, LiteralCharacters)
{
    EXPECT_EQ(NameOf("{Seoul2002}"), "SEOUL2");
    EXPECT_EQ(NameOf("{!?}"), "");
    EXPECT_EQ(NameOf("han{ab}"), "hanAB");
    EXPECT_EQ(NameOf("han-gul{a}"), "hankul");
}

TEST(ImageName, CodeForms)
{
    EXPECT_EQ(NameOf("&$B0A1;"), "ka");
    EXPECT_EQ(NameOf("&$A4D4;"), "_");
    EXPECT_EQ(NameOf("&$A4D4;&$A4D4;"), "__");
    EXPECT_EQ(NameOf("&$E0A1;"), "u57505");
    EXPECT_EQ(NameOf("&#57344;", true), "u57344");
    EXPECT_EQ(NameOf("&#44032;", true), "xac00");
    EXPECT_EQ(NameOf("&#00065;", true), "A");
    EXPECT_EQ(NameOf("&#44032;"), "ka");
    EXPECT_EQ(NameOf("&$C7D1;&$C7D1;"), "hanhan");
    EXPECT_EQ(NameOf("&$A2BE;"), "xa2be");  // a symbol: its code
    // A syllable by code form may use eight positions only as the first.
    EXPECT_EQ(NameOf("&$84BD;"), "kkwaelph");  // 꽲
    EXPECT_EQ(NameOf("a&$84BD;"), "akkwae");
    EXPECT_EQ(NameOf("&$84BA;"), "kkwaelp");   // 꽯: the final is ㄼ
    EXPECT_EQ(NameOf("&$969F;"), "ppyeolh");   // 뼗: ㅃ, ㅕ, ㅀ
}

TEST(ImageName, DoubleByteCodes)
{
    StartName("");
    AddToImageName(kNameDoubleByte, 0xA3C1);
    EXPECT_STREQ(g_imageName.base, "xa3c1");
    AddToImageName(kNameDoubleByte, 0xA3C1);
    EXPECT_STREQ(g_imageName.base, "xa3c1a");
    AddToImageName(kNameDoubleByte, 0xA3C1);
    EXPECT_STREQ(g_imageName.base, "xa3c1a");

    StartName("han");
    AddToImageName(kNameDoubleByte, 0xAAA2);
    EXPECT_STREQ(g_imageName.base, "hanaaa");

    StartName("");
    AddToImageName(kNameDoubleByte, 0x1A3C1);  // only the low 16 bits count
    EXPECT_STREQ(g_imageName.base, "xa3c1");
}

TEST(ImageName, ErrorsReplaceAndStick)
{
    EXPECT_EQ(NameOf("han-hangug-gug"), "_err_");
    EXPECT_EQ(NameOf("\xB1" "han"), "_err_");

    StartName("_ERR_x");
    AddToImageName(kNameSyllable, 0xB0A1);
    AddToImageName(kNameAscii, 'A');
    EXPECT_STREQ(g_imageName.base, "_ERR_x");

    StartName("han");
    AddToImageName(7, 0xB0A1);  // an unknown kind changes nothing
    AddToImageName(-1, 0xB0A1);
    EXPECT_STREQ(g_imageName.base, "han");
}

TEST(ImageName, FixedNamesAreNeverTouched)
{
    StartName("shop", true);
    AddToImageName(kNameSyllable, 0xC7D1);
    AddToImageName(kNameError, 0);
    AddToImageName(kNameCodeForm, 0xE000);
    EXPECT_STREQ(g_imageName.base, "shop");
    BeginBlock();
}

TEST(ImageName, NonSyllablesAddNothingUnderKind0)
{
    StartName("ab");
    AddToImageName(kNameSyllable, 0xA2BE);  // a symbol
    AddToImageName(kNameSyllable, 0x0041);  // not a double-byte character
    EXPECT_STREQ(g_imageName.base, "ab");
    // A name of six or more is full for kind 0 and kind 2.
    StartName("abcdef");
    AddToImageName(kNameSyllable, 0xB0A1);
    AddToImageName(kNameAscii, 'Z');
    EXPECT_STREQ(g_imageName.base, "abcdef");
}

TEST(ImageName, LongDirectiveNamesStayTerminated)
{
    // A name of 255 characters leaves no room, and none is taken.
    std::string longName(255, 'n');
    StartName(longName.c_str());
    AddToImageName(kNameDoubleByte, 0xA3C1);
    AddToImageName(kNameCodeForm, 0xE000);
    AddToImageName(kNameSyllable, 0xB0A1);
    EXPECT_EQ(std::string(g_imageName.base), longName);
}

TEST(ImageName, ReservedNames)
{
    for (const char* name : {"con", "CON", "nul", "Prn", "aux", "com", "lpt", "clock$", "CLOCK$", "lpt3",
                             "COM9", "com1", "LpT5"})
        EXPECT_TRUE(IsReservedName(name)) << name;
    for (const char* name : {"", "com10", "lpt0", "console", "nul1", "co", "com0", "comA", "lpt1x", "hankuk",
                             "_err_", "clock", "au", "nul "})
        EXPECT_FALSE(IsReservedName(name)) << name;
}

}  // namespace
