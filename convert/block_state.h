#pragma once
// The resets of the module-level state of the block being converted, in one
// place. Two groups, each with one reset:
//
//   page state   g_bUnicodeMode, g_bUtf8Page (hangul/block_buffers.h)
//   block state  g_blockBytes, g_glyphString (hangul/block_buffers.h), the
//                letter run (hangul/block_parser.cpp) and g_imageName
//                (convert/image_name.h); the parser's report pointer lives
//                only for one ParseBlock call and needs no reset
//
//   BeginPage(unicodeMode, utf8Page, realText)
//                           before a page: sets the page state (the glyph
//                           string's room: the whole block for real text), and does
//                           what BeginBlock does.
//   BeginBlock()            at every "[[": empties the block state.
//
// The page scanner, the tests and the fuzz targets call these; no one clears
// a buffer by hand.

void BeginPage(bool unicodeMode, bool utf8Page = false, bool realText = false);
void BeginBlock();
