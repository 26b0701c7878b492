// The manual page and --help name the same long options, so that neither
// drifts from the program, and the manual page gives each its own paragraph.
#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

#include "tests/test_support.h"

using namespace sylpic;

namespace {

// Every "--word" in `text`; roff's "\-" counts as a hyphen.
std::set<std::string> LongOptions(std::string text)
{
    for (std::size_t at; (at = text.find("\\-")) != std::string::npos;)
        text.erase(at, 1);
    const auto isNameChar = [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; };
    std::set<std::string> options;
    std::size_t end = 0;
    for (std::size_t at; (at = text.find("--", end)) != std::string::npos;) {
        end = at + 2;
        while (end < text.size() && isNameChar(text[end]))
            ++end;
        if (end > at + 2 && text[at + 2] != '-')
            options.insert(text.substr(at, end - at));
    }
    return options;
}

TEST(ManPage, NamesTheLongOptionsThatHelpNames)
{
    std::string help;
    FILE* out = popen("'" SYLPIC_BINARY_PATH "' --help", "r");
    ASSERT_NE(out, nullptr);
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, out)) > 0;)
        help.append(buffer, n);
    ASSERT_EQ(pclose(out), 0);

    EXPECT_GE(LongOptions(help).size(), 10u);
    const std::string page = ReadWholeFile(SYLPIC_SOURCE_DIR "/res/sylpic.1");
    EXPECT_EQ(LongOptions(page), LongOptions(help));
    // Each heads a paragraph of its own: the line after a ".TP".
    std::string tags;
    for (std::size_t at = 0; (at = page.find(".TP\n", at)) != std::string::npos; at += 4)
        tags += page.substr(at + 4, page.find('\n', at + 4) - at - 4) + "\n";
    EXPECT_EQ(LongOptions(tags), LongOptions(help));
}

}  // namespace
