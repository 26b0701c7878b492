#include "fuzz/fuzz_support.h"

#include <dirent.h>
#include <gif_lib.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "convert/dir_handle.h"

namespace sylpic {

void FuzzFail(const char* file, int line, const char* what, const std::string& detail)
{
    std::fprintf(stderr, "\n*** property failed at %s:%d: %s\n*** %s\n", file, line, what, detail.c_str());
    std::abort();
}

ScratchFolder::ScratchFolder(const char* tag)
{
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string pattern = std::string(base) + "/sylpic-fuzz-" + tag + "-XXXXXX";
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        std::abort();
    }
    path_ = pattern + "/";
}

ScratchFolder::~ScratchFolder()
{
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

void ScratchFolder::Empty() const
{
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(path_, ec)) {
        std::error_code removeError;
        std::filesystem::remove_all(entry.path(), removeError);
    }
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

bool WriteWholeFile(const std::string& path, const void* bytes, std::size_t size)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    // An empty buffer may come as a null pointer, which fwrite must not get.
    const bool ok = size == 0 || std::fwrite(bytes, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    if (const DirHandle dir = OpenFolder(path.c_str())) {
        while (const dirent* e = readdir(dir.get()))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.emplace_back(e->d_name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

namespace {

// Reads a GIF89a file of one image the way any decoder must: header, global
// colour table, extensions as chains of sub-blocks, the image descriptor,
// LZW data decoded to exactly width * height pixels, and the trailer. It
// shares nothing with the writer, and unlike a general library it is quick
// on the writer's never-compressed data, which keeps the fuzzer fast.
class GifReader {
public:
    explicit GifReader(const std::string& bytes) : bytes_(bytes) {}

    bool Read(DecodedImage& image)
    {
        if (bytes_.compare(0, 6, "GIF89a") != 0 && bytes_.compare(0, 6, "GIF87a") != 0)
            return false;
        at_ = 6;
        int width, height, flags;
        if (!Word(width) || !Word(height) || !Byte(flags) || !Skip(2))
            return false;
        if ((flags & 0x80) && !Skip(3u << ((flags & 7) + 1)))
            return false;
        for (;;) {
            int introducer;
            if (!Byte(introducer))
                return false;
            if (introducer == 0x21) {
                if (!Skip(1) || !SkipSubBlocks())
                    return false;
            } else if (introducer == 0x2C) {
                break;
            } else {
                return false;
            }
        }
        int left, top, imageWidth, imageHeight, imageFlags, minCodeSize;
        if (!Word(left) || !Word(top) || !Word(imageWidth) || !Word(imageHeight) || !Byte(imageFlags))
            return false;
        if ((imageFlags & 0x80) && !Skip(3u << ((imageFlags & 7) + 1)))
            return false;
        if (!Byte(minCodeSize) || minCodeSize < 2 || minCodeSize > 8)
            return false;
        std::string data;
        if (!SubBlocks(data))
            return false;
        const std::size_t pixels = static_cast<std::size_t>(imageWidth) * static_cast<std::size_t>(imageHeight);
        if (!Lzw(data, minCodeSize, pixels))
            return false;
        int trailer;
        if (!Byte(trailer) || trailer != 0x3B || at_ != bytes_.size())
            return false;
        image.width = width;
        image.height = height;
        return imageWidth == width && imageHeight == height && left == 0 && top == 0;
    }

private:
    bool Byte(int& value)
    {
        if (at_ >= bytes_.size())
            return false;
        value = static_cast<unsigned char>(bytes_[at_++]);
        return true;
    }
    bool Word(int& value)
    {
        int low, high;
        if (!Byte(low) || !Byte(high))
            return false;
        value = low | high << 8;
        return true;
    }
    bool Skip(std::size_t count)
    {
        if (bytes_.size() - at_ < count)
            return false;
        at_ += count;
        return true;
    }
    bool SubBlocks(std::string& data)
    {
        for (int length; Byte(length);) {
            if (length == 0)
                return true;
            if (bytes_.size() - at_ < static_cast<std::size_t>(length))
                return false;
            data.append(bytes_, at_, static_cast<std::size_t>(length));
            at_ += static_cast<std::size_t>(length);
        }
        return false;
    }
    bool SkipSubBlocks()
    {
        std::string ignored;
        return SubBlocks(ignored);
    }

    // Decodes the LZW data; true when it ends with the end code after
    // exactly `pixels` pixels.
    static bool Lzw(const std::string& data, int minCodeSize, std::size_t pixels)
    {
        const int clear = 1 << minCodeSize;
        const int end = clear + 1;
        std::vector<int> prefix(4096), length(4096);
        int width = minCodeSize + 1;
        int next = clear + 2;
        int previous = -1;
        std::size_t produced = 0;
        std::size_t bit = 0;
        const std::size_t bits = data.size() * 8;
        for (int i = 0; i < clear; ++i) {
            prefix[static_cast<std::size_t>(i)] = -1;
            length[static_cast<std::size_t>(i)] = 1;
        }
        for (;;) {
            if (bit + static_cast<std::size_t>(width) > bits)
                return false;  // the data ends without an end code
            int code = 0;
            for (int i = 0; i < width; ++i, ++bit)
                code |= ((static_cast<unsigned char>(data[bit / 8]) >> (bit % 8)) & 1) << i;
            if (code == clear) {
                width = minCodeSize + 1;
                next = clear + 2;
                previous = -1;
                continue;
            }
            if (code == end)
                return produced == pixels;
            if (code > next || (code == next && previous < 0))
                return false;
            if (previous >= 0 && next < 4096) {
                prefix[static_cast<std::size_t>(next)] = previous;
                length[static_cast<std::size_t>(next)] = length[static_cast<std::size_t>(previous)] + 1;
                ++next;
                if (next == (1 << width) && width < 12)
                    ++width;
            }
            produced += static_cast<std::size_t>(length[static_cast<std::size_t>(code)]);
            if (produced > pixels)
                return false;
            previous = code;
        }
    }

    const std::string& bytes_;
    std::size_t at_ = 0;
};

}  // namespace

bool DecodeGif(const std::string& path, DecodedImage& image)
{
    const std::string bytes = ReadWholeFile(path);
    return GifReader(bytes).Read(image);
}

bool DecodePng(const std::string& path, DecodedImage& image)
{
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&png, path.c_str()))
        return false;
    png.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(png) ? PNG_IMAGE_SIZE(png) : 1);
    const bool ok = png_image_finish_read(&png, nullptr, pixels.data(), 0, nullptr) != 0;
    image.width = static_cast<int>(png.width);
    image.height = static_cast<int>(png.height);
    png_image_free(&png);
    return ok;
}

namespace {

// Takes `expected` from the front of `text`.
bool TakeText(std::string_view& text, std::string_view expected)
{
    if (text.substr(0, expected.size()) != expected)
        return false;
    text.remove_prefix(expected.size());
    return true;
}

// Takes a decimal number of at most six digits from the front of `text`.
bool TakeNumber(std::string_view& text, int& number)
{
    std::size_t digits = 0;
    number = 0;
    while (digits < text.size() && digits < 7 && text[digits] >= '0' && text[digits] <= '9')
        number = number * 10 + (text[digits++] - '0');
    text.remove_prefix(digits);
    return digits > 0 && digits < 7;
}

}  // namespace

bool DecodeXbm(const std::string& path, DecodedImage& image)
{
    // Two #define lines, the array head, then ceil(width / 8) * height items
    // of the form 0xNN, and "};". Lines end in CR LF.
    const std::string whole = ReadWholeFile(path);
    std::string_view text = whole;
    if (!TakeText(text, "#define "))
        return false;
    const std::size_t nameEnd = text.find("_width ");
    if (nameEnd == std::string_view::npos || nameEnd == 0)
        return false;
    const std::string name(text.substr(0, nameEnd));
    if (name.find_first_of(" \r\n") != std::string::npos)
        return false;
    text.remove_prefix(nameEnd);
    if (!TakeText(text, "_width ") || !TakeNumber(text, image.width) ||
        !TakeText(text, "\r\n#define " + name + "_height ") || !TakeNumber(text, image.height) ||
        !TakeText(text, "\r\nstatic char " + name + "_bits[] = {\r\n"))
        return false;
    const std::string_view body = text;
    if (body.size() < 4 || body.compare(body.size() - 4, 4, "};\r\n") != 0)
        return false;
    long long items = 0;
    for (std::size_t i = 0; i + 4 <= body.size(); ++i)
        if (body[i] == '0' && body[i + 1] == 'x' && std::isxdigit(static_cast<unsigned char>(body[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(body[i + 3])))
            ++items;
    return items == static_cast<long long>((image.width + 7) / 8) * image.height;
}

}  // namespace sylpic
