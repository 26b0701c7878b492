// CMainDlg's imaging operations: the glyph bitmap members go to the engine
// as a view, and each writer encodes into memory with the block pipeline's
// encoder, writes its file with one checked write and shows the pipeline's
// box when a PNG fails.
#include <cstdio>

#include "app/main_dlg.h"
#include "convert/image_writer.h"
#include "hangul/block_buffers.h"
#include "imaging/png_encoder.h"
#include "imaging/rasterizer.h"
#include "res/messages.h"

namespace sylpic {

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
    const ImagingStatus drawn =
        RasterizeGlyphs(font, g_glyphString.bytes, g_glyphString.DrawnRoom(), g_bUnicodeMode, bitmap);
    m_nImageWidth = bitmap.width;
    m_nImageHeight = bitmap.height;
    m_nRowBytes = bitmap.rowBytes;
    m_nImageBitsSize = bitmap.size;
    m_pImageBits = std::move(bitmap.bits);
    if (drawn == ImagingStatus::kNoMemory) {
        LogMessage(IDS_NO_MEMORY, true, true);
        return 1;  // still success, with no pixel buffer
    }
    return drawn == ImagingStatus::kOk ? 1 : 0;
}

int CMainDlg::WriteGif(FILE* file, const char* key, const unsigned char* colours)
{
    ByteBuffer bytes;
    PngStatus png;
    EncodeImage(ImageBits(), kFormatGif, {colours ? colours : m_colours, m_bTransparent != 0, key}, nullptr, bytes, png);
    return WriteWhole(file, bytes) ? 0 : -1;
}

int CMainDlg::WritePng(FILE* file, const char* key, const unsigned char* colours)
{
    ByteBuffer bytes;
    PngStatus png;
    ImageWriteStatus status =
        EncodeImage(ImageBits(), kFormatPng, {colours ? colours : m_colours, m_bTransparent != 0, key}, nullptr, bytes, png);
    if (status == ImageWriteStatus::kWritten && !WriteWhole(file, bytes))
        status = ImageWriteStatus::kWriteFailed;
    ShowImageWriteBox(*this, kFormatPng, status, png);
    // 0, libpng's code 1 to 3 as the box shows it, or the status of an
    // encode that had no memory for its pixels.
    if (status == ImageWriteStatus::kWriteFailed)
        return static_cast<int>(ImagingStatus::kPngLibraryError);
    return static_cast<int>(png.code);
}

int CMainDlg::WriteXbm(FILE* file, const char* name)
{
    ByteBuffer bytes;
    PngStatus png;
    EncodeImage(ImageBits(), kFormatXbm, {}, name, bytes, png);
    return WriteWhole(file, bytes) ? 0 : -1;
}

}  // namespace sylpic
