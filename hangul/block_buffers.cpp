#include "hangul/block_buffers.h"

BlockBytes g_blockBytes;
GlyphString g_glyphString;
bool g_bUnicodeMode = false;
bool g_bUtf8Page = false;

void AddBlockByte(unsigned char byte)
{
    // Bytes beyond the 5000th are dropped without notice.
    if (g_blockBytes.count < kMaxBlockBytes)
        g_blockBytes.bytes[g_blockBytes.count++] = byte;
    else
        g_blockBytes.cut = true;
}

void ClearBlockText()
{
    g_blockBytes.count = 0;
    g_blockBytes.cut = false;
    g_glyphString.length = 0;
}
