#pragma once
// Whether a page read as code page 932 is in fact UTF-8: it holds bytes
// beyond ASCII, and all of them make well-formed UTF-8. Code page 932 text
// of any length almost never does, so such a page most likely lacks only
// its declaration.
#include <cstdio>

namespace sylpic {

// Reads `source` from offset `from` to its end. The position is left
// wherever the reading ended: the caller sets it again.
bool IsUtf8BeyondAscii(FILE* source, long from);

}  // namespace sylpic
