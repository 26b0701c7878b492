#pragma once
// A file while it is written: a temporary file in the same folder that takes
// the file's name only when it is complete. Until then the file of that name
// stays as it was, and a failure leaves nothing behind. The output page and
// every image are written this way, so that a full disk never costs the last
// good output page and never leaves a short image that a later run could
// reuse by its key. The rename also replaces a symbolic link at the name
// instead of writing through it.
#include <fcntl.h>

#include <cstddef>
#include <cstdio>
#include <string>

#include "convert/free_name_move.h"

namespace sylpic {

class DeferredCloses;

// The prefixes of the temporary names of pages and images being written.
inline constexpr char kStagedPagePrefix[] = ".sylpic-page-";
inline constexpr char kStagedImagePrefix[] = ".sylpic-image-";
inline constexpr char kStagedFontPrefix[] = ".sylpic-font-";

class StagedFile {
public:
    StagedFile() = default;
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    // Opens a temporary file beside `path`, named `tempPrefix` and six random
    // characters. False when no file can be written at `path`: a folder or a
    // read-only file stands there, or the folder takes no new file. With
    // `asNewFile` the file at `path` is replaced as if none stood there (it
    // is the page just kept under its source name), and gets a new file's
    // mode.
    bool Open(const std::string& path, const char* tempPrefix, bool asNewFile = false);
    // Opens a file without a name in the folder of `path` (O_TMPFILE), for
    // CommitToFreeName: it gets its name by a link, which never replaces an
    // entry (Commit too only links it), and a run cut short leaves nothing
    // behind. Where the file system makes no such files, the same as Open.
    // `folderFd`, when not -1, is the folder of `path` open: the file is
    // made and linked relative to it, which spares two lookups of its path.
    // With `closes`, the file once linked is closed there, later.
    bool OpenForFreeName(const std::string& path, const char* tempPrefix, int folderFd = -1,
                         DeferredCloses* closes = nullptr);
    // Creates `path` itself when no entry of that name exists (not even a
    // link), so that a new file needs no temporary name and no rename; until
    // Commit the file is still removed on failure. False when the name is
    // taken (then `taken` is set) or cannot be created.
    bool OpenNew(const std::string& path, bool* taken = nullptr);
    // The file as a stream, for writing piece by piece.
    FILE* file();
    // Writes the whole of `bytes` with one call, for a file written at once
    // (not mixed with file()). False when not all of it was written.
    bool WriteAll(const void* bytes, std::size_t count);
    // Flushes, closes and moves the temporary file onto `path`. False (and
    // the temporary file removed) when any of it failed.
    bool Commit();
    // The same, but the file takes `path` only where no entry stands there:
    // kTaken (and the temporary file removed) when one does.
    FreeNameMove CommitToFreeName();
    // Closes and removes the temporary file; the file at `path` is untouched.
    void Discard();
    // Why the last call that returned false failed: its errno, or a cause
    // of convert/file_cause.h (a folder or a FIFO at `path`).
    int Error() const { return error_; }

private:
    // Flushes and closes; false (and the file written removed) on failure.
    bool Close();
    // Takes the open descriptor of the file `written` (removed on failure)
    // that will become `path`.
    bool Attach(int fd, const std::string& path, const std::string& written, bool renameOnCommit);
    // CommitToFreeName for a file without a name.
    FreeNameMove LinkToFreeName();

    int fd_ = -1;
    FILE* file_ = nullptr;  // over fd_, once file() was called
    bool writeFailed_ = false;
    std::string path_;
    std::string tempPath_;  // the file being written: a temporary name, or path_ itself
    bool renameOnCommit_ = false;
    int error_ = 0;
    bool unnamed_ = false;  // opened with O_TMPFILE: tempPath_ is empty
    int folderFd_ = AT_FDCWD;  // where linkName_ is linked: the folder open, or AT_FDCWD
    const char* linkName_ = "";  // path_, or its name in folderFd_
    const char* tempPrefix_ = "";
    DeferredCloses* closes_ = nullptr;  // where the descriptor goes once linked
};

}  // namespace sylpic
