// Reading the image key, colours and size back from image files this
// program wrote, through the readers beside each format's encoder.
#include <cstring>

#include "convert/image_file_bytes.h"
#include "convert/image_key.h"
#include "imaging/gif_encoder.h"
#include "imaging/png_encoder.h"

namespace sylpic {

bool ReadImageFileSize(const char* path, ImageFormat format, ImageSize& size)
{
    const ImageFileBytes file(path);
    unsigned char head[kImageSizeHeadBytes];
    const std::size_t got = file.ReadAt(0, head, sizeof head);
    return file.ok() && ReadImageSize(head, got, format, size);
}

int ReadGifKey(const char* path, char* text, unsigned char* colours)
{
    const ImageFileBytes file(path);
    if (!file.ok()) {
        std::memset(text, 0, kReadKeyBytes);  // the colours stay as they were
        return 0;
    }
    return ReadGifKeyFrom(file, text, colours);
}

int ReadPngKey(const char* path, char* text, unsigned char* colours)
{
    const ImageFileBytes file(path);
    if (!file.ok()) {
        std::memset(text, 0, kReadKeyBytes);
        std::memset(colours, 0, 6);
        return 0;
    }
    return ReadPngKeyFrom(file, text, colours);
}

}  // namespace sylpic
