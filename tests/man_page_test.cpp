// The manual page and --help name the same long options, so that neither
// drifts from the program.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <set>
#include <string>

#include "tests/test_support.h"

namespace {

std::set<std::string> LongOptions(const std::string& text)
{
    static const std::regex option("--[a-z][a-z-]*");
    std::set<std::string> options;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), option); it != std::sregex_iterator(); ++it)
        options.insert(it->str());
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

    // roff writes a hyphen as "\-".
    const std::string page =
        std::regex_replace(ReadWholeFile(SYLPIC_SOURCE_DIR "/res/sylpic.1"), std::regex(R"(\\-)"), "-");
    EXPECT_GE(LongOptions(help).size(), 10u);
    EXPECT_EQ(LongOptions(page), LongOptions(help));
}

}  // namespace
