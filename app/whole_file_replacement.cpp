#include "app/whole_file_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace sylpic {

namespace {

// Links followed one after another before giving up, as the kernel does.
constexpr int kMaxLinks = 40;

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

// The file that `path` names once every link is followed; a dangling link
// gives the path it points at, where the file will be created.
std::string FollowLinks(std::string path)
{
    for (int depth = 0; depth < kMaxLinks; ++depth) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return path;
        std::string target(static_cast<std::size_t>(st.st_size) + 256, '\0');
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0 || static_cast<std::size_t>(length) >= target.size())
            return path;  // changed meanwhile: let the rename tell
        target.resize(static_cast<std::size_t>(length));
        path = target.front() == '/' ? target : FolderOf(path) + target;
    }
    return path;
}

// The temporary file, removed unless it was renamed into place.
class TemporaryFile {
public:
    explicit TemporaryFile(const std::string& folder) : path_(folder + ".sylpic-settings-XXXXXX")
    {
        fd_ = mkostemp(path_.data(), O_CLOEXEC);
    }
    ~TemporaryFile()
    {
        if (fd_ >= 0)
            close(fd_);
        if (!renamed_)
            unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    // Closes the file; false when the last of it could not be written.
    bool Close()
    {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }
    bool RenameTo(const std::string& path)
    {
        renamed_ = std::rename(path_.c_str(), path.c_str()) == 0;
        return renamed_;
    }

private:
    std::string path_;
    int fd_ = -1;
    bool renamed_ = false;
};

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// The mode a new file gets from open(2) with 0666.
mode_t NewFileMode()
{
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

}  // namespace

FileReplacement ReplaceFileWhole(const std::string& path, std::string_view bytes)
{
    FileReplacement result;
    result.path = FollowLinks(path);
    const std::string& file = result.path;
    auto fail = [&result](const char* reason) {
        result.reason = reason;
        return result;
    };

    struct stat st;
    const bool exists = stat(file.c_str(), &st) == 0;
    if (!exists && errno != ENOENT)
        return fail(std::strerror(errno));
    if (exists) {
        if (S_ISDIR(st.st_mode))
            return fail(std::strerror(EISDIR));
        if (!S_ISREG(st.st_mode))
            return fail("not a regular file");
        if ((st.st_mode & 0222) == 0)
            return fail("read-only file");
        if (access(file.c_str(), R_OK | W_OK) != 0)
            return fail(std::strerror(errno));
    }

    TemporaryFile temporary(FolderOf(file));
    if (!temporary.IsOpen())
        return fail(std::strerror(errno));
    // Only root may give the file back to its owner; for anyone else
    // another owner's file becomes theirs, as an editor's save makes it.
    if (exists)
        static_cast<void>(fchown(temporary.fd(), st.st_uid, st.st_gid) == 0);
    if (fchmod(temporary.fd(), exists ? st.st_mode & 07777 : NewFileMode()) != 0 ||
        !WriteAll(temporary.fd(), bytes) || fsync(temporary.fd()) != 0 || !temporary.Close() ||
        !temporary.RenameTo(file))
        return fail(std::strerror(errno));
    result.ok = true;
    return result;
}

}  // namespace sylpic
