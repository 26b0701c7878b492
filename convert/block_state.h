#pragma once
// The resets of the module-level buffers of the block pipeline, in one place.
//
//   BeginPage(unicodeMode)  before a page: sets the page's Unicode mode and
//                           does what BeginBlock does.
//   BeginBlock()            at every "[[": empties the block bytes, the glyph
//                           string, the letter run and the image base name.
//
// The page scanner, the tests and the fuzz targets call these; no one clears
// a buffer by hand.

void BeginPage(bool unicodeMode);
void BeginBlock();
