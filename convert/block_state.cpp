#include "convert/block_state.h"

#include "convert/image_name.h"
#include "hangul/block_buffers.h"
#include "hangul/block_parser.h"

void BeginPage(bool unicodeMode, bool utf8Page, bool realText)
{
    g_bUnicodeMode = unicodeMode;
    g_bUtf8Page = utf8Page;
    g_glyphString.room = realText ? kMaxTextGlyphBytes : kMaxGlyphBytes;
    BeginBlock();
}

void BeginBlock()
{
    ClearBlockText();
    ClearLetterRun();
    g_imageName.Clear();
}
