// The PNG writer. The calls to libpng, their order and values are fixed:
// IHDR (bit depth from the colour count, palette, no interlace), pHYs 1:1,
// PLTE, tEXt "Comment" (only with a key), tIME in UTC, tRNS (only with a
// transparent index), then the rows bottom-up from the buffer.
#include "imaging/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <ctime>
#include <memory>
#include <new>

#include "app/main_dlg.h"
#include "data/bit_reverse.h"

int g_nPngError = 0;
char g_szPngMessage[256] = "";

namespace {

void KeepMessage(png_const_charp message)
{
    std::snprintf(g_szPngMessage, sizeof g_szPngMessage, "%s", message ? message : "");
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message)
{
    KeepMessage(message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp message)
{
    KeepMessage(message);
}

int BitDepthFor(int colours)
{
    if (colours <= 2)
        return 1;
    if (colours <= 4)
        return 2;
    if (colours <= 16)
        return 4;
    return 8;
}

// Everything between the recovery point and the end of the image; kept out
// of SavePng so that no local of SavePng lives across the longjmp.
void WriteImage(png_structp png, png_infop info, int width, int height, const unsigned char* palette,
                const unsigned char* pixels, int stride, int colours, int transparent, const char* comment)
{
    const int bitDepth = BitDepthFor(colours);
    png_set_write_status_fn(png, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), bitDepth,
                 PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_pHYs(png, info, 1, 1, PNG_RESOLUTION_UNKNOWN);

    png_color entries[256];
    for (int i = 0; i < colours && i < 256; ++i) {
        entries[i].red = palette[3 * i];
        entries[i].green = palette[3 * i + 1];
        entries[i].blue = palette[3 * i + 2];
    }
    png_set_PLTE(png, info, entries, colours);

    if (comment && comment[0] != '\0') {
        png_text text{};
        text.compression = PNG_TEXT_COMPRESSION_NONE;
        text.key = const_cast<png_charp>("Comment");
        text.text = const_cast<png_charp>(comment);
        text.text_length = std::strlen(comment);
        png_set_text(png, info, &text, 1);
    }

    const std::time_t now = std::time(nullptr);
    std::tm utc{};
    gmtime_r(&now, &utc);
    png_time stamp{};
    stamp.year = static_cast<png_uint_16>(utc.tm_year + 1900);
    stamp.month = static_cast<png_byte>(utc.tm_mon + 1);
    stamp.day = static_cast<png_byte>(utc.tm_mday);
    stamp.hour = static_cast<png_byte>(utc.tm_hour);
    stamp.minute = static_cast<png_byte>(utc.tm_min);
    stamp.second = static_cast<png_byte>(utc.tm_sec);
    png_set_tIME(png, info, &stamp);

    if (transparent != -1) {
        png_byte alpha[256];
        for (int i = 0; i < colours && i < 256; ++i)
            alpha[i] = i == transparent ? 0 : 255;
        png_set_tRNS(png, info, alpha, colours, nullptr);
    }

    png_write_info(png, info);
    if (bitDepth < 8)
        png_set_packing(png);
    for (int row = height - 1; row >= 0; --row) {
        png_bytep rowPointer = const_cast<png_bytep>(pixels + static_cast<std::size_t>(row) * stride);
        png_write_rows(png, &rowPointer, 1);
    }
    png_write_end(png, info);
}

}  // namespace

void SavePng(FILE* file, int width, int height, const unsigned char* palette, const unsigned char* pixels,
             int stride, int colours, int transparent, const char* comment)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!png) {
        g_nPngError = 1;
        return;
    }
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        g_nPngError = 2;
        return;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        g_nPngError = 3;
        return;
    }
    png_init_io(png, file);
    WriteImage(png, info, width, height, palette, pixels, stride, colours, transparent, comment);
    png_destroy_write_struct(&png, &info);
}

int CMainDlg::WritePng(FILE* file, const char* key, const unsigned char* colours)
{
    g_nPngError = 0;
    const int width = m_nImageWidth;
    const int height = m_nImageHeight;
    // One byte per pixel, rows padded to a multiple of 4, stored bottom-up.
    const int stride = ((width * 8 + 31) / 32) * 4;
    const std::size_t size = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    std::unique_ptr<unsigned char[]> expanded(new (std::nothrow) unsigned char[size ? size : 1]);
    if (!expanded)
        return -1;
    std::memset(expanded.get(), 0, size);

    const int rowBytes = m_nRowBytes;
    const bool hasPixels = m_pImageBits && width > 0 &&
                           m_nImageBitsSize >= static_cast<std::size_t>(rowBytes) * static_cast<std::size_t>(height);
    for (int r = 0; hasPixels && r < height; ++r) {
        const unsigned char* from = m_pImageBits.get() + static_cast<std::size_t>(r) * rowBytes;
        unsigned char* to = expanded.get() + static_cast<std::size_t>(height - 1 - r) * stride;
        unsigned value = 0;
        for (int x = 0; x < width; ++x) {
            if (x % 8 == 0)
                value = g_bitReverse[from[x / 8]];
            to[x] = static_cast<unsigned char>(value & 1);
            value >>= 1;
        }
    }

    SavePng(file, width, height, colours, expanded.get(), stride, 2, m_bTransparent ? 0 : -1, key);
    expanded.reset();

    if (g_nPngError == 0 && (std::fflush(file) != 0 || std::ferror(file))) {
        // libpng writes through the stream; a write the stream held back can
        // still fail here.
        g_nPngError = 3;
        std::snprintf(g_szPngMessage, sizeof g_szPngMessage, "%s", "Write Error");
    }
    if (g_nPngError != 0) {
        char text[512];
        std::snprintf(text, sizeof text, "保存に失敗しました\nエラーコード = %d\n%s", g_nPngError, g_szPngMessage);
        ShowMessageBox(text);
        g_szPngMessage[0] = '\0';
        return g_nPngError;
    }
    return 0;
}
