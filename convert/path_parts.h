#pragma once
// Splitting a path into drive, folder, file name and extension.

namespace sylpic {

enum PathPart : int { kPathDrive = 1, kPathFolder = 2, kPathName = 3, kPathExtension = 4 };

// Splits `path` into four module-level buffers and returns one of them: the
// drive (always empty here), the folder with its trailing '/', the file name
// without extension, or the extension with its leading point. Any other part
// number returns null. Every call splits again into the same buffers, so a
// result stays valid only until the next call. Parts longer than their
// buffers (255 characters) are cut.
const char* GetPathPart(const char* path, int part);

}  // namespace sylpic
