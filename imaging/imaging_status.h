#pragma once

namespace sylpic {

// How an imaging operation ended: the one status of this layer. Every
// imaging function that can fail returns it, 0 for success; readers that
// only answer whether bytes record something (ReadImageSize, IsWholeGif,
// ...) answer with a bool instead.
//
//   const ImagingStatus status = EncodePng(bitmap.View(), style, bytes, png);
//   if (status != ImagingStatus::kOk)
//       std::fprintf(stderr, "%s\n", ImagingStatusText(status));
//
// The numbers 1 to 3 are the PNG encoder's codes, which the box of a
// failed save shows ("エラーコード = %d"), so they stay as they are.
enum class ImagingStatus : int {
    kOk = 0,
    kPngNoWriteStruct = 1,  // libpng's write structure cannot be made
    kPngNoInfoStruct = 2,   // libpng's info structure cannot be made
    kPngLibraryError = 3,   // libpng reported an error while encoding
    kNoImage,               // the arguments describe no image (size, depth or palette out of range)
    kNoMemory,              // no buffer could be had for the pixels
    kFontFailed,            // no such face, or the text cannot be measured or held
    kFontUnreadable,        // a face file cannot be read, or is no font
    kSubsetFailed,          // the subsetter gave no font
    kWoff2Failed,           // the WOFF2 encoder gave nothing
};

// What a status means, in English, for developers and diagnostics. What the
// user is told comes from the numbered messages, never from here.
const char* ImagingStatusText(ImagingStatus status);

}  // namespace sylpic
