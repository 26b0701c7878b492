#pragma once
// The resets of the module-level buffers of the block pipeline, in one place.
//
//   BeginPage(unicodeMode, utf8Page)
//                           before a page: sets the page's Unicode mode and
//                           whether it is read as UTF-8, and does what
//                           BeginBlock does.
//   BeginBlock()            at every "[[": empties the block bytes, the glyph
//                           string, the letter run and the image base name.
//
// The page scanner, the tests and the fuzz targets call these; no one clears
// a buffer by hand.

void BeginPage(bool unicodeMode, bool utf8Page = false);
void BeginBlock();
