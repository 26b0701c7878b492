#include "convert/path_parts.h"

#include <cstring>

#include "data/limits.h"

namespace sylpic {

namespace {

char s_drive[3];
char s_folder[kMaxPathPart];
char s_name[kMaxPathPart];
char s_extension[kMaxPathPart];

void CopyCut(char* to, std::size_t room, const char* from, std::size_t length)
{
    if (length >= room)
        length = room - 1;
    std::memcpy(to, from, length);
    to[length] = '\0';
}

}  // namespace

const char* GetPathPart(const char* path, int part)
{
    // The folder runs to the last '/', the extension from the last point
    // after it; what lies between is the name.
    const std::size_t length = std::strlen(path);
    const char* slash = std::strrchr(path, '/');
    const char* nameStart = slash ? slash + 1 : path;
    const char* dot = std::strrchr(nameStart, '.');
    const char* nameEnd = dot ? dot : path + length;

    s_drive[0] = '\0';
    CopyCut(s_folder, sizeof s_folder, path, static_cast<std::size_t>(nameStart - path));
    CopyCut(s_name, sizeof s_name, nameStart, static_cast<std::size_t>(nameEnd - nameStart));
    CopyCut(s_extension, sizeof s_extension, nameEnd, static_cast<std::size_t>(path + length - nameEnd));

    switch (part) {
    case kPathDrive: return s_drive;
    case kPathFolder: return s_folder;
    case kPathName: return s_name;
    case kPathExtension: return s_extension;
    default: return nullptr;
    }
}

}  // namespace sylpic
