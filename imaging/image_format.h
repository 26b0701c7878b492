#pragma once
// The three image formats and how the format setting names them.
#include <string_view>

namespace sylpic {

enum ImageFormat : int { kFormatGif = 0, kFormatPng = 1, kFormatXbm = 2 };

// The format setting ("GIF", "PNG", "XBM") as a format; anything else is GIF.
inline ImageFormat ImageFormatOf(std::string_view setting)
{
    if (setting == "XBM")
        return kFormatXbm;
    if (setting == "PNG")
        return kFormatPng;
    return kFormatGif;
}

// The file name extension, without the point.
inline const char* ExtensionOf(ImageFormat format)
{
    switch (format) {
    case kFormatPng: return "png";
    case kFormatXbm: return "xbm";
    default: return "gif";
    }
}

}  // namespace sylpic
