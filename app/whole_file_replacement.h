#pragma once
// Replaces what a file holds as a whole, for the settings file:
//
//   const FileReplacement done = ReplaceFileWhole("./sylpic.ini", bytes);
//   if (!done.ok) tell(done.path, done.reason);
//
// The bytes go to a temporary file in the file's folder, which is renamed
// over the file only once it is written and synced. Until then the file
// stays as it was: a full disk or a kill never leaves it cut. A symbolic
// link is followed to the file it names, which is replaced while the link
// stays. The file keeps its mode and, where allowed, its owner and group.
//
// Refused, leaving the file as it is: something other than a regular file
// (a folder, a FIFO), a read-only file (no write permission, or none for
// anyone, which even root is held to), and a file that cannot be read (what
// it held would be lost).
#include <string>
#include <string_view>

namespace sylpic {

struct FileReplacement {
    bool ok = false;
    std::string path;    // the file written or refused, links followed
    std::string reason;  // why it failed: the system's error, or what stood there
};

FileReplacement ReplaceFileWhole(const std::string& path, std::string_view bytes);

}  // namespace sylpic
