#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <set>
#include <string>

#include "data/jamo_names.h"
#include "hangul/code_page.h"
#include "hangul/romanise.h"

using namespace sylpic;

namespace {

unsigned Compose(const std::string& text)
{
    char run[kMaxLetterRun + 1] = {};
    std::strncpy(run, text.c_str(), kMaxLetterRun);
    return ComposeSyllable(run);
}

// The UTF-16 unit a code page 949 code stands for, or 0.
char16_t Decode(unsigned code)
{
    char16_t unit = 0;
    if (Cp949PairToUnit(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF),
                        &unit) != 1)
        return 0;
    return unit;
}

char16_t SyllableOf(const std::string& text)
{
    return Decode(Compose(text));
}

TEST(Romanise, EveryStandardSpellingGivesItsSyllable)
{
    const char* const initials[19] = {"k", "kk", "n", "t", "tt", "r", "m", "p", "pp", "s",
                                      "ss", "", "j", "jj", "ch", "kh", "th", "ph", "h"};
    const char* const vowels[21] = {"a", "ae", "ya", "yae", "eo", "e", "yeo", "ye", "o", "wa", "wae",
                                    "oe", "yo", "u", "wo", "we", "wi", "yu", "eu", "eui", "i"};
    const char* const finals[28] = {"", "k", "kk", "ks", "n", "nj", "nh", "t", "l", "lk",
                                    "lm", "lp", "ls", "lth", "lph", "lh", "m", "p", "ps", "s",
                                    "ss", "ng", "j", "ch", "kh", "th", "ph", "h"};
    int checked = 0;
    for (int l = 0; l < 19; ++l) {
        for (int v = 0; v < 21; ++v) {
            for (int t = 0; t < 28; ++t) {
                const std::string spelling = std::string(initials[l]) + vowels[v] + finals[t];
                const char16_t expected = static_cast<char16_t>(0xAC00 + (l * 21 + v) * 28 + t);
                ASSERT_EQ(SyllableOf(spelling), expected) << spelling;
                ++checked;
            }
        }
    }
    EXPECT_EQ(checked, 11172);
}

TEST(Romanise, ExamplesAndCase)
{
    EXPECT_EQ(Compose("han"), 0xC7D1u);
    EXPECT_EQ(Compose("HAN"), 0xC7D1u);
    EXPECT_EQ(Compose("Han"), 0xC7D1u);
    EXPECT_EQ(Compose("a"), 0xBEC6u);
    EXPECT_EQ(Compose("xa"), 0xBEC6u);
    EXPECT_EQ(SyllableOf("dalg"), u'닭');
    EXPECT_EQ(SyllableOf("balbh"), u'밢');
    EXPECT_EQ(SyllableOf("dalt"), u'닱');
    EXPECT_EQ(SyllableOf("dalth"), u'닱');
    EXPECT_EQ(SyllableOf("anj"), u'앉');
    EXPECT_EQ(SyllableOf("anh"), u'않');
    EXPECT_EQ(SyllableOf("eobs"), u'없');
    EXPECT_EQ(SyllableOf("iss"), u'있');
    EXPECT_EQ(Compose("ttom"), 0x8C63u);  // 똠, an extended code
}

TEST(Romanise, AlternativeSpellings)
{
    EXPECT_EQ(SyllableOf("ga"), u'가');
    EXPECT_EQ(SyllableOf("da"), u'다');
    EXPECT_EQ(SyllableOf("ba"), u'바');
    EXPECT_EQ(SyllableOf("la"), u'라');
    EXPECT_EQ(SyllableOf("ca"), u'자');
    EXPECT_EQ(SyllableOf("xax"), u'앙');
    for (const char* s : {"woe", "oe", "oi"})
        EXPECT_EQ(SyllableOf(s), u'외') << s;
    for (const char* s : {"weo", "wo", "uo"})
        EXPECT_EQ(SyllableOf(s), u'워') << s;
    for (const char* s : {"wi", "ui", "yi"})
        EXPECT_EQ(SyllableOf(s), u'위') << s;
    EXPECT_EQ(SyllableOf("ia"), u'야');
    EXPECT_EQ(SyllableOf("ie"), u'예');
    EXPECT_EQ(SyllableOf("io"), u'요');
    EXPECT_EQ(SyllableOf("iu"), u'유');
    EXPECT_EQ(SyllableOf("ieo"), u'여');
    EXPECT_EQ(SyllableOf("ua"), u'와');
    EXPECT_EQ(SyllableOf("ue"), u'웨');
    EXPECT_EQ(SyllableOf("uae"), u'왜');
    EXPECT_EQ(SyllableOf("w"), u'우');
    EXPECT_EQ(SyllableOf("y"), u'이');
}

TEST(Romanise, RunsThatAreNoSyllable)
{
    for (const char* s : {"x", "k", "ng", "nga", "aa", "hangug", "lph", "fa", "va", "za", "qa",
                          "ha*", "a@", "a0", "ww", "yw", "ay", "aw", "kkk", "nn", "hh", "ann", "ahh",
                          "ansk", "alll"})
        EXPECT_EQ(Compose(s), 0u) << s;
}

TEST(Romanise, LettersByName)
{
    EXPECT_EQ(Compose("*k"), 0xA4A1u);
    EXPECT_EQ(Compose("*K"), 0xA4A1u);
    EXPECT_EQ(Compose("*ng"), 0xA4B7u);
    EXPECT_EQ(Compose("*x"), 0xA4B7u);
    EXPECT_EQ(Compose("*0"), 0xA4B7u);
    EXPECT_EQ(Compose("*00"), 0xA4F0u);
    EXPECT_EQ(Compose("*ngng"), 0xA4F0u);
    EXPECT_EQ(Compose("*@"), 0xA4FDu);
    EXPECT_EQ(Compose("*@I"), 0xA4FEu);
    EXPECT_EQ(Compose("*WOE"), 0xA4CAu);
    EXPECT_EQ(Compose("*"), 0u);
    EXPECT_EQ(Compose("**"), 0u);
    EXPECT_EQ(Compose("*zz"), 0u);
}

TEST(Romanise, LetterReplacementInNames)
{
    EXPECT_EQ(Compose("*lk"), 0xA4AAu);  // rk
    EXPECT_EQ(Compose("*gg"), 0xA4A2u);  // kk
    EXPECT_EQ(Compose("*GG"), 0xA4A2u);
    EXPECT_EQ(Compose("*qq"), 0xA4F5u);  // hh
    EXPECT_EQ(Compose("*lq"), 0xA4B0u);  // rh, not the rq of ㅭ
    EXPECT_EQ(Compose("*rq"), 0xA4DDu);  // found before any replacement
    EXPECT_EQ(Compose("*q"), 0xA4F6u);
    EXPECT_EQ(Compose("*bs"), 0xA4B4u);  // ps
    EXPECT_EQ(Compose("*dd"), 0xA4A8u);  // tt
    EXPECT_EQ(Compose("*lgs"), 0xA4D9u);  // rks

    char run[] = "*LQ";
    EXPECT_EQ(ComposeSyllable(run), 0xA4B0u);
    EXPECT_STREQ(run, "*rh") << "the replacement is written in lower case";
}

TEST(JamoNames, RowFourDecodesToTheCompatibilityJamoInOrder)
{
    // Row 4 of KS X 1001 holds U+3131 to U+318E in the same order.
    for (int k = 0; k < kJamoCodeCount; ++k)
        EXPECT_EQ(Decode(kFirstJamoCode + static_cast<unsigned>(k)), 0x3131 + k) << k;
}

TEST(JamoNames, EveryNameReadsBack)
{
    for (const JamoName& entry : g_jamoNames) {
        if (std::strcmp(entry.name, " ") == 0)
            continue;
        EXPECT_EQ(Compose(std::string("*") + entry.name), 0xA4A0u + entry.n) << entry.name;
    }
}

}  // namespace
