#include "data/syllable_names.h"

namespace sylpic {

const char* const g_szInitialNames[kInitialCount] = {
    "k", "kk", "n", "t", "tt", "r", "m", "p", "pp", "s",
    "ss", "" /* the silent initial */, "j", "jj", "ch", "kh", "th", "ph", "h",
};

const char* const g_szMedialNames[kMedialCount] = {
    "a", "ae", "ya", "yae", "eo", "e", "yeo", "ye", "o", "wa", "wae",
    "oe", "yo", "u", "wo", "we", "wi", "yu", "eu", "eui", "i",
};

const char* const g_szFinalNames[kFinalCount] = {
    "", "k", "kk", "ks", "n", "nj", "nh", "t", "l", "lk", "lm", "lp", "ls", "lth",
    "lph", "lh", "m", "p", "ps", "s", "ss", "ng", "j", "ch", "kh", "th", "ph", "h",
};

}  // namespace sylpic
