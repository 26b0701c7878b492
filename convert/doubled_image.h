#pragma once
// The 2x image of a GIF or PNG block image, for screens with two device
// pixels to the CSS pixel: hanimg/2x/<the 1x image's file name>, twice the
// 1x image's width and height, its glyphs drawn at twice the size where the
// 1x glyphs lie, scaled, in the same two colours. The tag offers it with
// srcset="./hanimg/2x/<file> 2x".
//
// A 2x image belongs to the 1x image of the same name. Its comment is the
// 1x key followed by " @2x" (at most 254 bytes), so a 2x image is never
// taken for a 1x image, and it is kept only while it matches its 1x image:
//   - when the 1x image was just written, the 2x image is written too, even
//     where its 1x image has no key (a key over 250 characters);
//   - when the 1x image was reused (and so has a key), a 2x image whose
//     comment is that key plus the marker and whose colours are the page's
//     is kept; one missing or not matching is written.
// A 2x image is written by the image writer at scale 2, as a fixed name is,
// and never counted in the page's figures.
#include "convert/image_writer.h"
#include "convert/page_scan.h"

namespace sylpic {

// The comment that follows the 1x key in a 2x image.
inline constexpr char kDoubledKeyMarker[] = " @2x";
// The image folder's folder of 2x images.
inline constexpr char kDoubledImageFolder[] = "2x/";

// Makes hanimg/2x/<fileName> the 2x image of `image` (its 1x image's, whose
// style's key is the 1x key, empty for none). `oneXWritten`: the 1x image
// was written for this block, not reused. `mayDraw` false: the 1x image
// was drawn at an em that is not known, so a 2x image is kept when it still
// matches but none is drawn; `stands` then says whether one stands for the
// tag to offer (it is true after every other success). Returns false after
// a fatal error (the 2x image cannot be drawn or written, or its folder
// made), whose message is logged.
bool PutDoubledImage(PageJob& job, ImageWriter& writer, const BlockImage& image, const char* fileName,
                     bool oneXWritten, bool mayDraw, bool& stands);

}  // namespace sylpic
