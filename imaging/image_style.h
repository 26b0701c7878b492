#pragma once
// How an image is coloured and labelled: the page's colour pair as its
// palette, whether the background is transparent, and the image key that
// goes into its comment.
#include "imaging/page_colours.h"

namespace sylpic {

struct ImageStyle {
    const unsigned char* colours = nullptr;  // kColourPairBytes: background, then text
    bool transparent = false;                // palette entry 0 (the background) is transparent
    const char* key = nullptr;               // null or empty: no comment
};

}  // namespace sylpic
