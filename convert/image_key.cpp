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
    const std::size_t prefix = m_strFontName.size() + 1 + m_strFontSize.size() + 1 + (m_bTransparent ? 0 : 1);
    if (prefix + 2 * static_cast<std::size_t>(g_glyphString.length > 0 ? g_glyphString.length : 0) > kMaxImageKey) {
        key[0] = '\0';
        return 0;
    }
    int length = 0;
    auto append = [&](const std::string& text) {
        std::memcpy(key + length, text.data(), text.size());
        length += static_cast<int>(text.size());
    };
    append(m_strFontName);
    key[length++] = ' ';
    append(m_strFontSize);
    key[length++] = ' ';
    if (!m_bTransparent)
        key[length++] = '^';
    for (int i = 0; i < g_glyphString.length; ++i) {
        const unsigned char byte = g_glyphString.bytes[i];
        key[length++] = kHexDigits[byte >> 4];
        key[length++] = kHexDigits[byte & 0x0F];
    }
    key[length] = '\0';
    return length;
}
