// The image key: font, size, transparency and the glyph codes of a block.
#include <cstdio>
#include <cstring>

#include "app/main_dlg.h"
#include "convert/image_reuse.h"
#include "hangul/block_buffers.h"

int CMainDlg::BuildImageKey(char key[256])
{
    // "<font> <size> " then "^" unless transparent, then the glyph string's
    // bytes as upper-case hexadecimal. A key over 250 characters is none.
    static const char kHexDigits[] = "0123456789ABCDEF";
    const int prefix = std::snprintf(key, 256, "%s %s %s", m_strFontName.c_str(), m_strFontSize.c_str(),
                                     m_bTransparent ? "" : "^");
    if (prefix < 0 || prefix > kMaxImageKey) {
        key[0] = '\0';
        return 0;
    }
    int length = prefix;
    for (int i = 0; i < g_glyphString.length; ++i) {
        if (length + 2 > kMaxImageKey) {
            key[0] = '\0';
            return 0;
        }
        const unsigned char byte = g_glyphString.bytes[i];
        key[length++] = kHexDigits[byte >> 4];
        key[length++] = kHexDigits[byte & 0x0F];
    }
    key[length] = '\0';
    return length;
}
