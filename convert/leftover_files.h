#pragma once
// Temporary files that a killed run left behind: pages and images being
// written when the run ended, which no run will ever finish. They are
// removed only while the image folder's lock is held, so never while
// another run writes them, and only when they are older than any page's
// conversion takes, in case a run elsewhere wrote without the lock.

#include <ctime>

namespace sylpic {

// Removes from `folder` (ending in '/', or empty for the current folder)
// the temporary files of pages and images last changed more than ten
// minutes ago.
void RemoveLeftoverFiles(const char* folder);

// Removes the entry `name` of the folder open at `folderFd` when it is such
// a file, last changed more than ten minutes before `now`; true when it went.
bool RemoveIfLeftover(int folderFd, const char* name, std::time_t now);

}  // namespace sylpic
