#include "imaging/image_size.h"

#include <cstring>
#include <string_view>

namespace {

// Sizes past this are no image this program reads back.
constexpr long kMaxSide = 0x7FFFFFFF;

// GIF: "GIF87a" or "GIF89a", then the logical screen's width and height,
// two bytes each, low byte first.
bool ReadGifSize(const unsigned char* head, std::size_t length, ImageSize& size)
{
    if (length < 10 || (std::memcmp(head, "GIF87a", 6) != 0 && std::memcmp(head, "GIF89a", 6) != 0))
        return false;
    size.width = head[6] | (head[7] << 8);
    size.height = head[8] | (head[9] << 8);
    return true;
}

unsigned long BigEndian32(const unsigned char* bytes)
{
    return (static_cast<unsigned long>(bytes[0]) << 24) | (static_cast<unsigned long>(bytes[1]) << 16) |
           (static_cast<unsigned long>(bytes[2]) << 8) | bytes[3];
}

// PNG: the signature, then the IHDR chunk (length 13) whose data begins
// with the width and the height, four bytes each, high byte first.
bool ReadPngSize(const unsigned char* head, std::size_t length, ImageSize& size)
{
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (length < 24 || std::memcmp(head, kSignature, 8) != 0 || BigEndian32(head + 8) != 13 ||
        std::memcmp(head + 12, "IHDR", 4) != 0)
        return false;
    const unsigned long width = BigEndian32(head + 16);
    const unsigned long height = BigEndian32(head + 20);
    if (width > kMaxSide || height > kMaxSide)
        return false;
    size.width = static_cast<int>(width);
    size.height = static_cast<int>(height);
    return true;
}

// One line "#define <name><suffix> <number>" at text[at...], its line break
// taken too; false when the line is not that.
bool ReadDefine(std::string_view text, std::size_t& at, std::string_view suffix, int& value)
{
    constexpr std::string_view kDefine = "#define ";
    if (text.compare(at, kDefine.size(), kDefine) != 0)
        return false;
    const std::size_t nameStart = at + kDefine.size();
    const std::size_t space = text.find(' ', nameStart);
    if (space == std::string_view::npos || space - nameStart < suffix.size() ||
        text.compare(space - suffix.size(), suffix.size(), suffix) != 0)
        return false;
    // A define is one line: its name holds no line break.
    if (text.substr(nameStart, space - nameStart).find_first_of("\r\n") != std::string_view::npos)
        return false;
    long number = 0;
    std::size_t i = space + 1;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        number = number * 10 + (text[i] - '0');
        if (number > kMaxSide)
            return false;
    }
    if (i == space + 1)
        return false;
    if (i < text.size() && text[i] == '\r')
        ++i;
    if (i >= text.size() || text[i] != '\n')
        return false;
    at = i + 1;
    value = static_cast<int>(number);
    return true;
}

bool ReadXbmSize(const unsigned char* head, std::size_t length, ImageSize& size)
{
    const std::string_view text(reinterpret_cast<const char*>(head), length);
    std::size_t at = 0;
    ImageSize read;
    if (!ReadDefine(text, at, "_width", read.width) || !ReadDefine(text, at, "_height", read.height))
        return false;
    size = read;
    return true;
}

}  // namespace

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
