// The glyph rasterizer: draws the block's glyph string into the one-bit
// glyph bitmap in the font and size chosen in the dialog.
#include <algorithm>
#include <cstdlib>
#include <new>
#include <string>

#include "app/main_dlg.h"
#include "hangul/block_buffers.h"
#include "hangul/glyph_text.h"
#include "imaging/font_engine.h"
#include "res/messages.h"

namespace {

constexpr int kMinPointSize = 5;
constexpr int kMaxPointSize = 100;
constexpr int kMaxFaceNameLength = 31;  // the logical-font record's face name room
constexpr int kMaxBitmapSide = 32768;   // both 0 and 32768 are accepted

// Rows of a monochrome bitmap are padded to a multiple of 16 bits.
int MonoRowBytes(int width)
{
    return 2 * ((width + 15) / 16);
}

}  // namespace

int CMainDlg::RenderGlyphs(const DeviceContext* dc)
{
    int pointSize = std::atoi(m_strFontSize.c_str());
    if (pointSize < kMinPointSize)
        pointSize = kMinPointSize;
    if (pointSize > kMaxPointSize)
        pointSize = kMaxPointSize;

    // The character (em) height in pixels: size * dpi / 72, halves upward.
    const int dpi = dc ? dc->logPixelsY : kScreenDpi;
    const int emPixels = (pointSize * dpi + 36) / 72;

    // The bitmap being replaced goes first, so that a failure below leaves
    // no stale buffer behind that does not match the new measurements.
    FreeImageBits();

    HangulFont font(m_strFontName.substr(0, kMaxFaceNameLength), emPixels);
    if (!font.ok())
        return 0;

    const std::u32string text = DecodeGlyphString(g_glyphString, g_bUnicodeMode);
    const TextExtent extent = font.Measure(text);
    m_nImageWidth = extent.width;
    m_nImageHeight = extent.height;
    if (extent.width < 0 || extent.width > kMaxBitmapSide || extent.height < 0 || extent.height > kMaxBitmapSide)
        return 0;

    m_nRowBytes = MonoRowBytes(extent.width);
    const std::size_t size = static_cast<std::size_t>(m_nRowBytes) * static_cast<std::size_t>(extent.height);
    unsigned char* bits = new (std::nothrow) unsigned char[size];
    if (bits == nullptr) {
        LogMessage(IDS_NO_MEMORY, true, true);
        return 1;  // still success, with no pixel buffer
    }
    m_pImageBits.reset(bits);
    m_nImageBitsSize = size;
    std::fill(bits, bits + size, static_cast<unsigned char>(0));  // background is 0
    font.Draw(text, bits, extent.width, extent.height, m_nRowBytes);
    return 1;
}
