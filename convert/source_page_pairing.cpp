#include "convert/source_page_pairing.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "convert/free_name_move.h"
#include "convert/staged_file.h"

namespace sylpic {

namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor()
    {
        if (fd_ >= 0)
            close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    bool Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

private:
    int fd_;
};

bool WriteFully(int fd, const char* bytes, ssize_t count)
{
    while (count > 0) {
        const ssize_t n = write(fd, bytes, static_cast<std::size_t>(count));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        count -= n;
    }
    return true;
}

// Copies the bytes of `from` into `to`, and its permission bits.
bool CopyFile(int from, int to)
{
    struct stat st;
    if (fstat(from, &st) != 0 || fchmod(to, st.st_mode & 07777) != 0)
        return false;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(from, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!WriteFully(to, buffer, n))
            return false;
    }
}

// Whether `error` from link() says that the file system makes no hard
// links here, so that a copy must do.
bool LinksUnsupported(int error)
{
    return error == EPERM || error == ENOTSUP || error == EXDEV || error == EMLINK;
}

SourcePagePairing CopyToFreeName(const char* page, const char* source, int& error)
{
    const std::string path = source;
    const std::size_t slash = path.rfind('/');
    std::string temp = (slash == std::string::npos ? std::string() : path.substr(0, slash + 1)) + kStagedPagePrefix +
                       "XXXXXX";
    const Descriptor from(open(page, O_RDONLY | O_CLOEXEC));
    if (from.get() < 0) {
        error = errno;
        return SourcePagePairing::kFailed;
    }
    Descriptor to(mkostemp(temp.data(), O_CLOEXEC));
    if (to.get() < 0) {
        error = errno;
        return SourcePagePairing::kFailed;
    }
    FreeNameMove moved = FreeNameMove::kFailed;
    if (CopyFile(from.get(), to.get()) && to.Close())
        moved = MoveToFreeName(temp.c_str(), source);
    error = errno;
    if (moved != FreeNameMove::kMoved)
        unlink(temp.c_str());
    return moved == FreeNameMove::kMoved  ? SourcePagePairing::kPaired
           : moved == FreeNameMove::kTaken ? SourcePagePairing::kTaken
                                           : SourcePagePairing::kFailed;
}

}  // namespace

SourcePagePairing PairSourcePage(const char* page, const char* source, int& error)
{
    // A link is one step that never replaces an entry, and keeps the file
    // as it was: its mode, its owner, its times, and a symbolic link as a
    // link.
    if (link(page, source) == 0)
        return SourcePagePairing::kPaired;
    if (errno == EEXIST)
        return SourcePagePairing::kTaken;
    if (!LinksUnsupported(errno)) {
        error = errno;
        return SourcePagePairing::kFailed;
    }
    return CopyToFreeName(page, source, error);
}

}  // namespace sylpic
