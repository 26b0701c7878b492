#include "convert/staged_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "convert/deferred_closes.h"
#include "convert/file_cause.h"

namespace sylpic {

namespace {

// The mode a new file gets from "wb": 0666 less the process's umask.
mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

StagedFile::~StagedFile()
{
    Discard();
}

bool StagedFile::Open(const std::string& path, const char* tempPrefix, bool asNewFile)
{
    Discard();
    mode_t mode = NewFileMode();
    struct stat st;
    if (!asNewFile && stat(path.c_str(), &st) == 0) {
        // An existing file must be one that "wb" could overwrite.
        if (!S_ISREG(st.st_mode) || access(path.c_str(), W_OK) != 0) {
            error_ = S_ISDIR(st.st_mode) ? EISDIR : !S_ISREG(st.st_mode) ? kCauseNotRegularFile : errno;
            return false;
        }
        mode = st.st_mode & 07777;
    }

    const std::size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string temp = folder + tempPrefix + "XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        error_ = errno;
        return false;
    }
    fchmod(fd, mode);
    return Attach(fd, path, temp, true);
}

bool StagedFile::OpenForFreeName(const std::string& path, const char* tempPrefix, int folderFd,
                                 DeferredCloses* closes)
{
    Discard();
    const std::size_t slash = path.rfind('/');
    // The mode is what "wb" gives a new file: 0666 less the umask.
    // Readable too, for the copy where it cannot be linked.
    constexpr int kUnnamed = O_TMPFILE | O_RDWR | O_CLOEXEC;
    int fd;
    if (folderFd >= 0) {
        fd = openat(folderFd, ".", kUnnamed, 0666);
    } else {
        const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
        fd = open(folder.c_str(), kUnnamed, 0666);
    }
    if (fd < 0)
        return Open(path, tempPrefix);
    Attach(fd, path, std::string(), false);
    unnamed_ = true;
    tempPrefix_ = tempPrefix;
    closes_ = closes;
    if (folderFd >= 0) {
        folderFd_ = folderFd;
        linkName_ = path_.c_str() + (slash == std::string::npos ? 0 : slash + 1);
    }
    return true;
}

bool StagedFile::OpenNew(const std::string& path, bool* taken)
{
    Discard();
    // O_EXCL refuses any existing entry, a dangling link included; the mode
    // is what "wb" gives a new file.
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        error_ = errno;
        if (taken)
            *taken = errno == EEXIST;
        return false;
    }
    return Attach(fd, path, path, false);
}

bool StagedFile::Attach(int fd, const std::string& path, const std::string& written, bool renameOnCommit)
{
    fd_ = fd;
    writeFailed_ = false;
    path_ = path;
    tempPath_ = written;
    renameOnCommit_ = renameOnCommit;
    unnamed_ = false;
    folderFd_ = AT_FDCWD;
    linkName_ = path_.c_str();
    closes_ = nullptr;
    return true;
}

FILE* StagedFile::file()
{
    if (!file_ && fd_ >= 0) {
        file_ = fdopen(fd_, "wb");
        if (!file_) {
            writeFailed_ = true;
            error_ = errno;
        }
    }
    return file_;
}

bool StagedFile::WriteAll(const void* bytes, std::size_t count)
{
    const auto* next = static_cast<const unsigned char*>(bytes);
    while (fd_ >= 0 && !file_ && count > 0) {
        const ssize_t n = write(fd_, next, count);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error_ = n < 0 ? errno : EIO;
            break;
        }
        next += n;
        count -= static_cast<std::size_t>(n);
    }
    if (count != 0)
        writeFailed_ = true;
    return count == 0;
}

bool StagedFile::Commit()
{
    if (unnamed_)
        return LinkToFreeName() == FreeNameMove::kMoved;  // a file without a name is only linked
    if (!Close())
        return false;
    if (renameOnCommit_ && std::rename(tempPath_.c_str(), path_.c_str()) != 0) {
        error_ = errno;
        unlink(tempPath_.c_str());
        tempPath_.clear();
        return false;
    }
    tempPath_.clear();
    return true;
}

FreeNameMove StagedFile::CommitToFreeName()
{
    if (unnamed_)
        return LinkToFreeName();
    if (!Close())
        return FreeNameMove::kFailed;
    const FreeNameMove moved = renameOnCommit_ ? MoveToFreeName(tempPath_.c_str(), path_.c_str()) : FreeNameMove::kMoved;
    if (moved == FreeNameMove::kFailed)
        error_ = errno;
    if (moved != FreeNameMove::kMoved)
        unlink(tempPath_.c_str());
    tempPath_.clear();
    return moved;
}

FreeNameMove StagedFile::LinkToFreeName()
{
    if (fd_ < 0 || file_ || writeFailed_) {
        Discard();
        return FreeNameMove::kFailed;
    }
    // A link never replaces an entry. The descriptor itself is linked where
    // the kernel allows it (a kernel of 6.10 on, for the file's opener, or a
    // process that may search every folder), else its entry in /proc.
    bool linked = linkat(fd_, "", folderFd_, linkName_, AT_EMPTY_PATH) == 0;
    if (!linked && errno != EEXIST) {
        char self[32];
        std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd_);
        linked = linkat(AT_FDCWD, self, folderFd_, linkName_, AT_SYMLINK_FOLLOW) == 0;
    }
    if (linked) {
        const int fd = fd_;
        fd_ = -1;
        unnamed_ = false;
        if (closes_ != nullptr) {
            closes_->Hold(fd);  // whole and named: its close has nothing to report
            return FreeNameMove::kMoved;
        }
        if (close(fd) == 0)
            return FreeNameMove::kMoved;
        error_ = errno;
        unlinkat(folderFd_, linkName_, 0);  // not known to be whole
        return FreeNameMove::kFailed;
    }
    if (errno == EEXIST) {
        Discard();
        return FreeNameMove::kTaken;
    }
    // No link from /proc here (not mounted, or refused): the bytes go
    // through a named staged file, moved as one is.
    const int unnamed = fd_;
    fd_ = -1;
    unnamed_ = false;
    const std::string path = path_;
    bool copied = Open(path, tempPrefix_, true);
    unsigned char buffer[1 << 14];
    for (off_t at = 0; copied;) {
        const ssize_t n = pread(unnamed, buffer, sizeof buffer, at);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            copied = n == 0;
            break;
        }
        copied = WriteAll(buffer, static_cast<std::size_t>(n));
        at += n;
    }
    close(unnamed);
    if (!copied) {
        Discard();
        return FreeNameMove::kFailed;
    }
    return CommitToFreeName();
}

bool StagedFile::Close()
{
    if (fd_ < 0)
        return false;
    bool written = !writeFailed_;
    bool closed;
    errno = 0;
    if (file_) {
        written = written && std::fflush(file_) == 0 && !std::ferror(file_);
        if (!written && !writeFailed_)
            error_ = errno != 0 ? errno : EIO;  // a stream's write failed, now or before
        closed = std::fclose(file_) == 0;
    } else {
        closed = close(fd_) == 0;
    }
    if (written && !closed)
        error_ = errno;
    file_ = nullptr;
    fd_ = -1;
    if (!written || !closed) {
        unlink(tempPath_.c_str());
        tempPath_.clear();
        return false;
    }
    return true;
}

void StagedFile::Discard()
{
    if (file_)
        std::fclose(file_);
    else if (fd_ >= 0)
        close(fd_);
    file_ = nullptr;
    fd_ = -1;
    unnamed_ = false;
    if (!tempPath_.empty()) {
        unlink(tempPath_.c_str());
        tempPath_.clear();
    }
}

}  // namespace sylpic
