#pragma once
// Finding every source page of a site: the pages a whole-site run converts.
#include <string>
#include <string_view>
#include <vector>

namespace sylpic {

// True for the name of a source page: "sp_" (in any case), then at least one
// character, then ".htm" or ".html" (in any case).
bool IsSourcePageName(std::string_view name);

struct SitePages {
    // The source pages, as full paths in byte order.
    std::vector<std::string> pages;
    // Source pages passed over because their output page would itself be a
    // source page: "sp_sp_x.htm" would overwrite "sp_x.htm".
    std::vector<std::string> shadowing;
    // Folders that could not be read, with the errno of the failure.
    struct Unreadable {
        std::string folder;
        int error;
    };
    std::vector<Unreadable> unreadable;
};

// Every source page (a regular file with a source page's name) under each of
// `folders`, which are entered whatever they are named. Below them, folders
// named "hanimg" (in any case) are not entered and links are never followed:
// a link to a folder is not entered, a link to a page is not a page. A folder
// that cannot be read is noted and the search goes on.
SitePages FindSitePages(const std::vector<std::string>& folders);

}  // namespace sylpic
