#include "convert/dir_search.h"


#include <algorithm>
#include <memory>
#include <cstring>

#include "convert/dir_handle.h"
#include "hangul/ascii_text.h"

namespace sylpic {

namespace {

}  // namespace

bool WildcardMatch(const char* pattern, const char* name)
{
    // Iterative matching with one back-track point for the last '*'.
    const char* starPattern = nullptr;
    const char* starName = nullptr;
    while (*name) {
        if (*pattern == '*') {
            starPattern = ++pattern;
            starName = name;
        } else if (*pattern == '?' || (*pattern && AsciiLower(*pattern) == AsciiLower(*name))) {
            ++pattern;
            ++name;
        } else if (starPattern) {
            pattern = starPattern;
            name = ++starName;
        } else {
            return false;
        }
    }
    while (*pattern == '*')
        ++pattern;
    // A trailing ".*" matches a name that has no point at all.
    if (pattern[0] == '.' && pattern[1] == '*' && pattern[2] == '\0')
        return true;
    return *pattern == '\0';
}

std::vector<std::string> FindMatchingFiles(const std::string& pathPattern)
{
    std::vector<std::string> names;
    const std::size_t slash = pathPattern.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : pathPattern.substr(0, slash + 1);
    const std::string pattern = slash == std::string::npos ? pathPattern : pathPattern.substr(slash + 1);

    DirHandle dir(opendir(folder.c_str()));
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir.get())) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0)
            continue;
        if (WildcardMatch(pattern.c_str(), entry->d_name))
            names.emplace_back(entry->d_name);
    }
    // Name order ignoring case; names equal but for case in byte order.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int c = CompareIgnoringCase(a, b);
        return c != 0 ? c < 0 : a < b;
    });
    return names;
}

}  // namespace sylpic
