#include "hangul/block_buffers.h"

namespace sylpic {

BlockState g_block;
PageState g_page;

void AddBlockByte(unsigned char byte)
{
    // Bytes beyond the 5000th are dropped without notice.
    if (g_blockBytes.count < kMaxBlockBytes)
        g_blockBytes.bytes[g_blockBytes.count++] = byte;
    else
        g_blockBytes.cut = true;
}

}  // namespace sylpic
