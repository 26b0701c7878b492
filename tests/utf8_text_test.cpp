#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "hangul/utf8_text.h"

using namespace sylpic;

namespace {

// The steps over the whole text: a character as its hex value, an error as
// "!" and its length, a cut character as "cut" and its length.
std::string Trace(const std::string& text)
{
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.data());
    std::string trace;
    for (std::size_t at = 0; at < text.size();) {
        const Utf8Step step = DecodeUtf8Step(bytes, text.size(), at);
        char item[24];
        if (step.result == Utf8Result::kCharacter)
            std::snprintf(item, sizeof item, "%X ", static_cast<unsigned>(step.character));
        else
            std::snprintf(item, sizeof item, "%s%d ", step.result == Utf8Result::kCut ? "cut" : "!", step.length);
        trace += item;
        at += static_cast<std::size_t>(step.length);
    }
    return trace;
}

TEST(Utf8Text, EachMaximalSubpartIsOneError)
{
    const struct {
        const char* bytes;
        const char* trace;
    } cases[] = {
        {"A\xC3\xA9\xED\x95\x9C\xF0\x9F\x98\x80", "41 E9 D55C 1F600 "},
        {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", "FFFF 10FFFF "},
        {"\xC0\xAF", "!1 !1 "},                  // overlong lead bytes are no lead bytes
        {"\xE0\x80\xAF", "!1 !1 !1 "},           // overlong three-byte form
        {"\xED\xA0\x80", "!1 !1 !1 "},           // a surrogate
        {"\xF4\x90\x80\x80", "!1 !1 !1 !1 "},    // past U+10FFFF
        {"\xE1\x80\x41", "!2 41 "},              // a well-formed start, then no continuation
        {"\xF1\x80\x80\xE1\x80\xC2", "!3 !2 cut1 "},
        {"\x80\xBF\xF8\xFF", "!1 !1 !1 !1 "},
        {"\xF0\x9F\x98", "cut3 "},
        {"\xE2\x82", "cut2 "},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Trace(c.bytes), c.trace) << Trace(c.bytes);
}

TEST(Utf8Text, EveryScalarValueRoundTrips)
{
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        std::string text;
        AppendUtf8(c, text);
        const Utf8Step step = DecodeUtf8Step(reinterpret_cast<const unsigned char*>(text.data()), text.size(), 0);
        ASSERT_EQ(step.result, Utf8Result::kCharacter) << std::hex << static_cast<unsigned>(c);
        ASSERT_EQ(step.character, c);
        ASSERT_EQ(static_cast<std::size_t>(step.length), text.size());
    }
    std::string replaced;
    AppendUtf8(0xD800, replaced);
    AppendUtf8(0x110000, replaced);
    EXPECT_EQ(replaced, "\xEF\xBF\xBD\xEF\xBF\xBD");
}

}  // namespace
