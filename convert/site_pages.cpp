#include "convert/site_pages.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <set>

#include "convert/dir_handle.h"
#include "convert/dir_search.h"
#include "hangul/ascii_text.h"

namespace sylpic {

namespace {

std::string PathInFolder(const std::string& folder, const char* name)
{
    if (!folder.empty() && folder.back() == '/')
        return folder + name;
    return folder + '/' + name;
}

// The entry names of `folder` but "." and "..", in byte order so that the
// search (and what it notes) never depends on the order the system keeps.
// False with errno set when the folder cannot be read.
bool ReadFolder(const std::string& folder, std::vector<std::string>& names)
{
    DirHandle dir(opendir(folder.c_str()));
    if (!dir)
        return false;
    while (const dirent* entry = readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    std::sort(names.begin(), names.end());
    return true;
}

}  // namespace

bool IsSourcePageName(std::string_view name)
{
    const auto endsWith = [name](std::string_view extension) {
        return name.size() > 3 + extension.size() &&
               EqualsIgnoringCase(name.substr(name.size() - extension.size()), extension);
    };
    return StartsWithIgnoringCase(name, "sp_") && (endsWith(".htm") || endsWith(".html"));
}

SitePages FindSitePages(const std::vector<std::string>& folders)
{
    SitePages found;
    // Folders still to read, the next one last: depth first, in name order.
    std::vector<std::string> pending;
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        std::string folder = *it;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        pending.push_back(folder);
    }
    // A folder given twice, or inside another given folder, is read once.
    std::set<std::string> entered;
    while (!pending.empty()) {
        const std::string folder = std::move(pending.back());
        pending.pop_back();
        if (!entered.insert(folder).second)
            continue;
        std::vector<std::string> names;
        if (!ReadFolder(folder, names)) {
            found.unreadable.push_back({folder, errno});
            continue;
        }
        std::vector<std::string> subfolders;
        for (const std::string& name : names) {
            const std::string path = PathInFolder(folder, name.c_str());
            struct stat st;
            if (lstat(path.c_str(), &st) != 0)
                continue;  // gone since the folder was read
            if (S_ISDIR(st.st_mode)) {
                if (!EqualsIgnoringCase(name, "hanimg"))
                    subfolders.push_back(path);
            } else if (S_ISREG(st.st_mode) && IsSourcePageName(name)) {
                // The output page's name is the source page's without "sp_".
                (IsSourcePageName(std::string_view(name).substr(3)) ? found.shadowing : found.pages)
                    .push_back(path);
            }
        }
        pending.insert(pending.end(), subfolders.rbegin(), subfolders.rend());
    }
    std::sort(found.pages.begin(), found.pages.end());
    return found;
}

}  // namespace sylpic
