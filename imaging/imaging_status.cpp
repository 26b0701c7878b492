#include "imaging/imaging_status.h"

namespace sylpic {

const char* ImagingStatusText(ImagingStatus status)
{
    switch (status) {
    case ImagingStatus::kOk: return "done";
    case ImagingStatus::kPngNoWriteStruct: return "libpng's write structure cannot be made";
    case ImagingStatus::kPngNoInfoStruct: return "libpng's info structure cannot be made";
    case ImagingStatus::kPngLibraryError: return "libpng reported an error";
    case ImagingStatus::kNoImage: return "the arguments describe no image";
    case ImagingStatus::kNoMemory: return "no memory for the pixels";
    case ImagingStatus::kFontFailed: return "the face cannot be opened, or the text cannot be measured or held";
    case ImagingStatus::kFontUnreadable: return "the face file cannot be read as a font";
    case ImagingStatus::kSubsetFailed: return "the face cannot be subset";
    case ImagingStatus::kWoff2Failed: return "the subset cannot be written as WOFF2";
    }
    return "unknown imaging status";
}

}  // namespace sylpic
