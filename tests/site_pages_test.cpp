// The search for a site's source pages, where the command line cannot reach:
// folders that cannot be read, and given folders that overlap.
#include <sys/stat.h>

#include <cerrno>

#include <gtest/gtest.h>

#include "convert/site_pages.h"
#include "tests/test_support.h"

using namespace sylpic;

namespace {

TEST(SitePages, AnUnreadableFolderIsNotedAndOverlappingFoldersAreReadOnce)
{
    ScratchDir dir;
    mkdir((dir / "site").c_str(), 0777);
    mkdir((dir / "site/sub").c_str(), 0777);
    WriteWholeFile(dir / "site/sub/sp_a.htm", "");

    const SitePages found = FindSitePages({dir / "site/sub/", dir / "gone", dir / "site"});
    EXPECT_EQ(found.pages, (std::vector<std::string>{dir / "site/sub/sp_a.htm"}));
    ASSERT_EQ(found.unreadable.size(), 1u);
    EXPECT_EQ(found.unreadable[0].folder, dir / "gone");
    EXPECT_EQ(found.unreadable[0].error, ENOENT);
}

}  // namespace
