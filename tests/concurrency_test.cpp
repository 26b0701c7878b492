// Several processes converting pages that share one image folder at once:
// every tag must name an image whose key is its own block's, and no image
// that another process made may be replaced by a different one.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "tests/test_support.h"

using namespace sylpic;

extern char** environ;

namespace {

// Blocks whose names all come out "hankuk", so that the processes race for
// the same numbered names: hankuk.gif, hankuk1.gif, ...
std::vector<std::string> RacingBlocks(int count)
{
    static const char* const kSyllables[] = {"ga", "na", "da", "ra", "ma", "ba", "sa", "ja", "ha", "geu"};
    std::vector<std::string> blocks;
    for (int i = 0; i < count; ++i)
        blocks.push_back(std::string("han-gug-eo-") + kSyllables[i % 10] + "-" + kSyllables[(i / 10) % 10] + "-" +
                         kSyllables[(i / 100) % 10]);
    return blocks;
}

std::string PageOf(const std::vector<std::string>& blocks)
{
    std::string page;
    for (const std::string& block : blocks)
        page += "[[" + block + "]]\n";
    return page;
}

// The image file names of the page's tags, in order.
std::vector<std::string> TaggedImages(const std::string& page)
{
    const std::string open = "<img src=\"./hanimg/";
    std::vector<std::string> names;
    for (std::size_t at = page.find(open); at != std::string::npos; at = page.find(open, at + 1)) {
        const std::size_t start = at + open.size();
        names.push_back(page.substr(start, page.find('"', start) - start));
    }
    return names;
}

std::string KeyOf(const std::string& path)
{
    char text[260] = "";
    unsigned char colours[6];
    return ReadGifKey(path.c_str(), text, colours) > 0 ? text : "";
}

pid_t Spawn(const std::vector<std::string>& arguments)
{
    std::vector<char*> argv;
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    EXPECT_EQ(posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

TEST(Concurrency, ProcessesSharingAnImageFolderTagOnlyTheirOwnImages)
{
    constexpr int kProcesses = 4;
    constexpr int kBlocks = 300;
    const std::vector<std::string> blocks = RacingBlocks(kBlocks);

    // The key of each block, from a run alone.
    ScratchDir alone;
    WriteWholeFile(alone / "sp_page.htm", PageOf(blocks));
    ASSERT_EQ(std::system((std::string(SYLPIC_BINARY_PATH) + " --font NanumGothic '" + alone / "sp_page.htm" +
                           "' >/dev/null").c_str()),
              0);
    const std::vector<std::string> aloneTags = TaggedImages(ReadWholeFile(alone / "page.htm"));
    ASSERT_EQ(aloneTags.size(), blocks.size());
    std::map<std::string, std::string> keyOfBlock;
    for (std::size_t i = 0; i < blocks.size(); ++i)
        keyOfBlock[blocks[i]] = KeyOf(alone / ("hanimg/" + aloneTags[i]));

    ScratchDir shared;
    std::mt19937 random(7);
    std::vector<std::vector<std::string>> orders;
    for (int p = 0; p < kProcesses; ++p) {
        orders.push_back(blocks);
        std::shuffle(orders.back().begin(), orders.back().end(), random);
        WriteWholeFile(shared / ("sp_page" + std::to_string(p) + ".htm"), PageOf(orders.back()));
    }
    for (int round = 0; round < 2; ++round) {
        std::vector<pid_t> children;
        for (int p = 0; p < kProcesses; ++p)
            children.push_back(Spawn({SYLPIC_BINARY_PATH, "--font", "NanumGothic",
                                      shared / ("sp_page" + std::to_string(p) + ".htm")}));
        for (pid_t child : children) {
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
        int wrong = 0;
        for (int p = 0; p < kProcesses; ++p) {
            const std::vector<std::string> tags =
                TaggedImages(ReadWholeFile(shared / ("page" + std::to_string(p) + ".htm")));
            ASSERT_EQ(tags.size(), blocks.size());
            for (std::size_t i = 0; i < tags.size(); ++i)
                wrong += KeyOf(shared / ("hanimg/" + tags[i])) != keyOfBlock[orders[p][i]];
        }
        EXPECT_EQ(wrong, 0) << "round " << round;
    }
    // Nothing staged is left behind.
    for (const std::string& name : ListFolder(shared / "hanimg"))
        EXPECT_NE(name[0], '.') << name;
}

}  // namespace
