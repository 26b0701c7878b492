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
#include <regex>
#include <sstream>

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
    if (DIR* dir = opendir(path.c_str())) {
        while (const dirent* e = readdir(dir))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.emplace_back(e->d_name);
        closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

bool DecodeGif(const std::string& path, DecodedImage& image)
{
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.c_str(), &error);
    if (!gif)
        return false;
    const bool ok = DGifSlurp(gif) == GIF_OK && gif->ImageCount == 1;
    if (ok) {
        image.width = gif->SWidth;
        image.height = gif->SHeight;
    }
    DGifCloseFile(gif, &error);
    return ok;
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

bool DecodeXbm(const std::string& path, DecodedImage& image)
{
    // Two #define lines, the array head, then ceil(width / 8) * height items
    // of the form 0xNN, and "};". Lines end in CR LF.
    const std::string text = ReadWholeFile(path);
    static const std::regex head(
        "#define ([^ \\r\\n]+)_width (\\d+)\r\n#define \\1_height (\\d+)\r\nstatic char \\1_bits\\[\\] = \\{\r\n");
    std::smatch m;
    if (!std::regex_search(text, m, head) || m.position(0) != 0)
        return false;
    image.width = std::stoi(m[2]);
    image.height = std::stoi(m[3]);
    const std::string body = text.substr(static_cast<std::size_t>(m.length(0)));
    if (body.size() < 4 || body.compare(body.size() - 4, 4, "};\r\n") != 0)
        return false;
    long long items = 0;
    for (std::size_t i = 0; i + 4 <= body.size(); ++i)
        if (body[i] == '0' && body[i + 1] == 'x' && std::isxdigit(static_cast<unsigned char>(body[i + 2])) &&
            std::isxdigit(static_cast<unsigned char>(body[i + 3])))
            ++items;
    return items == static_cast<long long>((image.width + 7) / 8) * image.height;
}
