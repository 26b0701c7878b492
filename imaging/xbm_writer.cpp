// The XBM writer: two #define lines and a byte array, lines ending in CR LF.
//
//   #define NAME_width W
//   #define NAME_height H
//   static char NAME_bits[] = {
//   0x03,0x02,            one line per pixel row, ceil(W / 8) items
//   0x01,0x03};           the last row ends in "};"
//
// XBM puts the leftmost pixel in the least significant bit, the glyph bitmap
// in the most significant one, so every byte goes through the bit-reversal
// table. Bits past the width are written as the glyph bitmap holds them.
#include <cstdio>

#include "app/main_dlg.h"
#include "data/bit_reverse.h"

int CMainDlg::WriteXbm(FILE* file, const char* name)
{
    const int width = m_nImageWidth;
    const int height = m_nImageHeight;
    const int items = (width + 7) / 8;
    bool ok = std::fprintf(file, "#define %s_width %d\r\n", name, width) > 0 &&
              std::fprintf(file, "#define %s_height %d\r\n", name, height) > 0 &&
              std::fprintf(file, "static char %s_bits[] = {\r\n", name) > 0;

    const bool hasPixels = items > 0 && height > 0 && m_pImageBits &&
                           m_nImageBitsSize >= static_cast<std::size_t>(m_nRowBytes) * height &&
                           m_nRowBytes >= items;
    if (hasPixels) {
        for (int row = 0; row < height && ok; ++row) {
            const unsigned char* bytes = m_pImageBits.get() + static_cast<std::size_t>(row) * m_nRowBytes;
            for (int j = 0; j < items && ok; ++j) {
                const bool last = row == height - 1 && j == items - 1;
                ok = std::fprintf(file, last ? "0x%02x" : "0x%02x,", g_bitReverse[bytes[j]]) > 0;
            }
            if (row != height - 1)
                ok = ok && std::fputs("\r\n", file) >= 0;
        }
    }
    // An image without pixels gets an empty array rather than a cut header.
    ok = ok && std::fputs("};\r\n", file) >= 0;
    ok = ok && std::fflush(file) == 0 && !std::ferror(file);
    return ok ? 0 : -1;
}
