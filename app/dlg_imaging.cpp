// CMainDlg's imaging operations: the glyph bitmap members go to the engine
// (imaging/) as a view, and each writer encodes into memory and writes its
// file with one checked write.
#include <cstdio>

#include "app/main_dlg.h"
#include "hangul/block_buffers.h"
#include "imaging/gif_writer.h"
#include "imaging/png_writer.h"
#include "imaging/rasterizer.h"
#include "imaging/xbm_writer.h"
#include "res/messages.h"

namespace {

bool WriteWhole(FILE* file, const ByteBuffer& bytes)
{
    return file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size() &&
           std::fflush(file) == 0 && !std::ferror(file);
}

}  // namespace

void CMainDlg::FreeImageBits()
{
    m_pImageBits.reset();
    m_nImageBitsSize = 0;
}

int CMainDlg::RenderGlyphs(const DeviceContext* dc)
{
    const FontChoice font{m_strFontName, m_strFontSize, dc ? dc->logPixelsY : kScreenDpi};
    GlyphBitmap bitmap;
    bitmap.width = m_nImageWidth;
    bitmap.height = m_nImageHeight;
    bitmap.rowBytes = m_nRowBytes;
    FreeImageBits();
    const RasterResult result =
        RasterizeGlyphs(font, g_glyphString.bytes, sizeof g_glyphString.bytes, g_bUnicodeMode, bitmap);
    m_nImageWidth = bitmap.width;
    m_nImageHeight = bitmap.height;
    m_nRowBytes = bitmap.rowBytes;
    m_nImageBitsSize = bitmap.size;
    m_pImageBits = std::move(bitmap.bits);
    if (result == RasterResult::kNoMemory) {
        LogMessage(IDS_NO_MEMORY, true, true);
        return 1;  // still success, with no pixel buffer
    }
    return result == RasterResult::kDrawn ? 1 : 0;
}

int CMainDlg::WriteGif(FILE* file, const char* key, const unsigned char* colours)
{
    ByteBuffer bytes;
    EncodeGif(ImageBits(), {colours ? colours : m_colours, m_bTransparent != 0, key}, bytes);
    return WriteWhole(file, bytes) ? 0 : -1;
}

int CMainDlg::WritePng(FILE* file, const char* key, const unsigned char* colours)
{
    ByteBuffer bytes;
    PngStatus status;
    if (EncodePng(ImageBits(), {colours ? colours : m_colours, m_bTransparent != 0, key}, bytes, status) == 0 &&
        !WriteWhole(file, bytes)) {
        status.code = 3;
        std::snprintf(status.message, sizeof status.message, "%s", "Write Error");
    }
    if (status.code != 0)
        ShowMessageBox(FormatSaveFailure(status.code, status.message));
    return status.code;
}

int CMainDlg::WriteXbm(FILE* file, const char* name)
{
    ByteBuffer bytes;
    EncodeXbm(ImageBits(), name, bytes);
    return WriteWhole(file, bytes) ? 0 : -1;
}
