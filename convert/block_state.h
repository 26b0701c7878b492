#pragma once
// The resets of the module-level state of the page and the block being
// converted, in one place:
//
//   page state   g_page (hangul/block_buffers.h): g_bUnicodeMode,
//                g_bUtf8Page and the glyph string's room
//   block state  g_block (hangul/block_buffers.h): g_blockBytes,
//                g_glyphString, the letter run and the parser's report;
//                and the image name g_imageName (convert/image_name.h)
//
//   BeginPage(unicodeMode, utf8Page, realText)
//                           before a page: sets the page state (the glyph
//                           string's room: the whole block for real text), and does
//                           what BeginBlock does.
//   BeginBlock()            at every "[[": empties the block state.
//
// The page scanner, the tests and the fuzz targets call these; no one clears
// a buffer by hand.

namespace sylpic {

void BeginPage(bool unicodeMode, bool utf8Page = false, bool realText = false);
void BeginBlock();

}  // namespace sylpic
