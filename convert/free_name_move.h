#pragma once

namespace sylpic {

// Moving a finished file onto a name that no entry has, never replacing one:
// for files whose name must not take another's place, where rename() would
// replace whatever stands at the name.
enum class FreeNameMove {
    kMoved,  // `to` is the file now; `from` is gone
    kTaken,  // an entry stands at `to`; nothing changed
    kUnsupported,  // the file system can neither rename without replacing nor link; nothing changed
    kFailed  // nothing changed
};

// Moves `from` to `to` in one step where the file system can
// (renameat2 with RENAME_NOREPLACE), else links `to` to it and removes
// `from`. Both names lie in the same folder.
FreeNameMove MoveToFreeName(const char* from, const char* to);

}  // namespace sylpic
