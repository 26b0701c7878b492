#include "convert/deferred_closes.h"

#include <sys/resource.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>

namespace sylpic {

namespace {

// Their f_type (linux/magic.h).
constexpr long kTmpfsMagic = 0x01021994;
constexpr long kExtMagic = 0xEF53;  // ext2, ext3 and ext4
constexpr long kXfsMagic = 0x58465342;
constexpr long kBtrfsMagic = 0x9123683E;

// Below this many open files allowed, nothing is held.
constexpr rlim_t kFewestFilesToHold = 256;

}  // namespace

void DeferredCloses::Hold(int fd)
{
    if (count_ == kMostHeld)
        CloseAll();
    fds_[count_++] = fd;
}

void DeferredCloses::CloseAll()
{
    std::sort(fds_, fds_ + count_);
    // Each run of consecutive numbers goes in one call; a number between
    // two runs is not ours and stays open.
    for (int first = 0; first < count_;) {
        int last = first;
        while (last + 1 < count_ && fds_[last + 1] == fds_[last] + 1)
            ++last;
        if (close_range(static_cast<unsigned>(fds_[first]), static_cast<unsigned>(fds_[last]), 0) != 0) {
            for (int i = first; i <= last; ++i)
                close(fds_[i]);  // a kernel before 5.9
        }
        first = last + 1;
    }
    count_ = 0;
}

bool MayHoldDescriptors()
{
    rlimit files{};
    return getrlimit(RLIMIT_NOFILE, &files) == 0 && files.rlim_cur >= kFewestFilesToHold;
}

bool CloseReportsNothingIn(int folderFd)
{
    struct statfs where {};
    if (fstatfs(folderFd, &where) != 0)
        return false;
    switch (static_cast<long>(where.f_type)) {
    case kTmpfsMagic:
    case kExtMagic:
    case kXfsMagic:
    case kBtrfsMagic:
        return true;
    default:
        return false;
    }
}

}  // namespace sylpic
