#include "convert/block_state.h"

#include "convert/image_name.h"
#include "hangul/block_buffers.h"

namespace sylpic {

void BeginPage(bool unicodeMode, bool utf8Page, bool realText)
{
    g_page.Reset(unicodeMode, utf8Page, realText);
    BeginBlock();
}

void BeginBlock()
{
    g_block.Reset();
    g_imageName.Clear();
}

}  // namespace sylpic
