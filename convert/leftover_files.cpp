#include "convert/leftover_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>

#include "convert/dir_handle.h"
#include "convert/staged_file.h"

namespace sylpic {

namespace {

constexpr std::time_t kLeftoverAge = 10 * 60;
static_assert(kStagedPagePrefix[0] == '.' && kStagedImagePrefix[0] == '.' && kStagedFontPrefix[0] == '.');

// A temporary name: a prefix, then the six characters mkstemp chose.
bool IsTemporaryName(const char* name)
{
    if (name[0] != '.')
        return false;  // every prefix begins with a point
    for (const char* prefix : {kStagedPagePrefix, kStagedImagePrefix, kStagedFontPrefix}) {
        const std::size_t length = std::strlen(prefix);
        if (std::strncmp(name, prefix, length) == 0 && std::strlen(name) == length + 6)
            return true;
    }
    return false;
}

}  // namespace

bool RemoveIfLeftover(int folderFd, const char* name, std::time_t now)
{
    if (!IsTemporaryName(name))
        return false;
    struct stat st;
    // A failure leaves it for a later run.
    return fstatat(folderFd, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode) &&
           now - st.st_mtime > kLeftoverAge && unlinkat(folderFd, name, 0) == 0;
}

void RemoveLeftoverFiles(const char* folder)
{
    const DirHandle dir = OpenFolder(*folder != '\0' ? folder : ".");
    if (!dir)
        return;
    const std::time_t now = std::time(nullptr);
    while (const dirent* entry = readdir(dir.get()))
        RemoveIfLeftover(dirfd(dir.get()), entry->d_name, now);
}

}  // namespace sylpic
