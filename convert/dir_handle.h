#pragma once
// An open folder, closed when it goes: the one directory handle of the
// program (and its tests).
//
//   if (const DirHandle dir = OpenFolder(path))
//       while (const dirent* entry = readdir(dir.get())) ...
#include <dirent.h>

#include <memory>

namespace sylpic {

struct DirCloser {
    void operator()(DIR* dir) const { closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// Null when the folder cannot be opened.
inline DirHandle OpenFolder(const char* path)
{
    return DirHandle(opendir(path));
}

}  // namespace sylpic
