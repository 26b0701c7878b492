#pragma once
// The resets of the module-level buffers of the block pipeline, in one place.
//
//   BeginPage(unicodeMode, utf8Page, realText)
//                           before a page: sets the page's Unicode mode,
//                           whether it is read as UTF-8 and the glyph
//                           string's room (the whole block for real text),
//                           and does what BeginBlock does.
//   BeginBlock()            at every "[[": empties the block bytes, the glyph
//                           string, the letter run and the image base name.
//
// The page scanner, the tests and the fuzz targets call these; no one clears
// a buffer by hand.

void BeginPage(bool unicodeMode, bool utf8Page = false, bool realText = false);
void BeginBlock();
