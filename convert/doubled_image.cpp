#include "convert/doubled_image.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "convert/file_cause.h"
#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "convert/whole_image_file.h"
#include "res/messages.h"

namespace sylpic {

namespace {

// True when the 2x image at `path` carries `comment` and the page's colours,
// and is whole.
bool IsCurrent(const char* path, const char* comment, ImageFormat format, const unsigned char* colours)
{
    char text[kReadKeyBytes];
    unsigned char stored[kColourPairBytes];
    const int length = format == kFormatPng ? ReadPngKey(path, text, stored) : ReadGifKey(path, text, stored);
    return length == static_cast<int>(std::strlen(comment)) && std::strcmp(text, comment) == 0 &&
           std::memcmp(stored, colours, sizeof stored) == 0 && IsWholeImageFile(path, format);
}

// True when the 2x image at `path` is exactly twice the 1x image
// `fileName` of the image folder.
bool FitsItsImage(const PageJob& job, const char* path, const char* fileName, ImageFormat format)
{
    ImageSize doubled;
    ImageSize single;
    return ReadImageFileSize(path, format, doubled) && ImageFolderImageSize(job.imageDir, fileName, format, single) &&
           IsTwiceTheSize(doubled, single);
}

}  // namespace

bool PutDoubledImage(PageJob& job, ImageWriter& writer, const BlockImage& image, const char* fileName,
                     bool oneXWritten, bool mayDraw, bool& stands)
{
    stands = true;
    const std::string folder = std::string(job.imageDir) + kDoubledImageFolder;
    const std::string path = folder + fileName;
    if (path.size() >= static_cast<std::size_t>(kMaxPath)) {
        job.log.LogMessage(IDS_CANNOT_CREATE, true, true);  // no longer than any other image path
        ReportFileCause(job.log, path, kCausePathTooLong);
        return false;
    }
    char comment[kMaxImageKey + sizeof kDoubledKeyMarker];
    std::snprintf(comment, sizeof comment, "%s%s", image.style.key, kDoubledKeyMarker);

    if (!oneXWritten && IsCurrent(path.c_str(), comment, image.format, job.colours) &&
        FitsItsImage(job, path.c_str(), fileName, image.format))
        return true;
    if (!mayDraw) {
        stands = false;
        return true;
    }

    BlockImage doubled = image;
    doubled.style.key = comment;
    ImagePlace place{folder.c_str(), nullptr, ExtensionOf(image.format)};
    std::snprintf(place.fileName, sizeof place.fileName, "%s", fileName);
    return ReportImageWrite(job.log, image.format, writer.Write(doubled, 2, place), writer);
}

}  // namespace sylpic
