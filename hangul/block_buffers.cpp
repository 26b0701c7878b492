#include "hangul/block_buffers.h"

BlockBytes g_blockBytes;
GlyphString g_glyphString;
bool g_bUnicodeMode = false;

void AddBlockByte(unsigned char byte)
{
    // Bytes beyond the 5000th are dropped without notice.
    if (g_blockBytes.count < kMaxBlockBytes)
        g_blockBytes.bytes[g_blockBytes.count++] = byte;
}

void ClearBlockText()
{
    g_blockBytes.count = 0;
    g_glyphString.length = 0;
}
