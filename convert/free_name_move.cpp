#include "convert/free_name_move.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace sylpic {

FreeNameMove MoveToFreeName(const char* from, const char* to)
{
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0)
        return FreeNameMove::kMoved;
    if (errno == EEXIST)
        return FreeNameMove::kTaken;
    // Some file systems and older kernels know no such rename: a link is
    // made only under a free name too.
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP)
        return FreeNameMove::kFailed;
    if (link(from, to) != 0) {
        if (errno == EEXIST)
            return FreeNameMove::kTaken;
        const bool noLinks = errno == EPERM || errno == ENOTSUP || errno == EOPNOTSUPP || errno == EXDEV;
        return noLinks ? FreeNameMove::kUnsupported : FreeNameMove::kFailed;
    }
    unlink(from);
    return FreeNameMove::kMoved;
}

}  // namespace sylpic
