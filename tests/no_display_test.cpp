// sylpic without pages opens the dialog; without a display (or without the
// dialog built in) it says so and ends with status 2, touching no settings.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>

#include "test_support.h"

using namespace sylpic;

namespace {

struct Outcome {
    int status;
    std::string err;
};

Outcome RunWithoutDisplay(const ScratchDir& dir, const std::string& args)
{
    const std::string command = "cd '" + dir.path() + "' && env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                                SYLPIC_BINARY_PATH "' " + args + " >/dev/null 2>'" + dir.path() + ".err'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWholeFile(dir / ".err")};
}

TEST(NoDisplayTest, WithoutPagesAndDisplayTheProgramSaysSoAndStops)
{
    ScratchDir dir;
    const Outcome outcome = RunWithoutDisplay(dir, "");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_EQ(outcome.err.rfind("sylpic: ", 0), 0u) << outcome.err;
    EXPECT_TRUE(outcome.err.find("display") != std::string::npos || outcome.err.find("no dialog") != std::string::npos)
        << outcome.err;
    EXPECT_FALSE(FileExists(dir / "sylpic.ini"));
}

TEST(NoDisplayTest, ConversionOptionsWithoutPagesAreAMistake)
{
    ScratchDir dir;
    const Outcome outcome = RunWithoutDisplay(dir, "--format png");
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("pages given on the command line"), std::string::npos) << outcome.err;
}

}  // namespace
