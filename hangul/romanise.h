#pragma once
// Romanised Hangul: one letter run to one syllable or Hangul letter.
#include "data/limits.h"

namespace sylpic {

// Composes the zero-terminated letter run `run` (1 to 64 characters, each an
// ASCII letter, '*', '0' or '@'). Returns the code page 949 code of the
// syllable or the Hangul letter, or 0 when the run is neither. A run that
// begins with '*' may be rewritten in place by the letter replacement of the
// name search.
unsigned ComposeSyllable(char* run);

}  // namespace sylpic
