#pragma once
// Descriptors whose closing can wait: of images read for their keys, and of
// new images already whole and linked under their names where the file
// system keeps nothing back for the close (so it has no failure to report).
// Each is held and closed with the others in one close_range: a system call
// an image less, a tenth of a small image's cost on a machine where system
// calls are dear.
namespace sylpic {

class DeferredCloses {
public:
    DeferredCloses() = default;
    ~DeferredCloses() { CloseAll(); }
    DeferredCloses(const DeferredCloses&) = delete;
    DeferredCloses& operator=(const DeferredCloses&) = delete;

    // Takes `fd`, to be closed by CloseAll; the ones held are closed first
    // when there is no room for it.
    void Hold(int fd);
    // Closes every descriptor held, and only those.
    void CloseAll();

private:
    static constexpr int kMostHeld = 32;
    int fds_[kMostHeld];
    int count_ = 0;
};

// True when the process may open enough files that holding some until a
// page ends never starves the run.
bool MayHoldDescriptors();
// True when the close of a file written in the folder open as `folderFd`
// has no failure to report: tmpfs, ext2 to ext4, XFS and Btrfs, which keep
// nothing back for it. (A file opened only to read has none anywhere.)
bool CloseReportsNothingIn(int folderFd);

}  // namespace sylpic
