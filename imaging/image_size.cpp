#include "imaging/image_size.h"

#include "imaging/gif_encoder.h"
#include "imaging/png_encoder.h"
#include "imaging/xbm_encoder.h"

namespace sylpic {

bool ReadImageSize(const unsigned char* head, std::size_t length, ImageFormat format, ImageSize& size)
{
    if (head == nullptr)
        return false;
    switch (format) {
    case kFormatPng: return ReadPngSize(head, length, size);
    case kFormatXbm: return ReadXbmSize(head, length, size);
    default: return ReadGifSize(head, length, size);
    }
}

}  // namespace sylpic
