#include "tests/test_support.h"

#include <dirent.h>
#include <iconv.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "convert/dir_handle.h"

namespace sylpic {

ScratchDir::ScratchDir()
{
    char pattern[] = "/tmp/sylpic-test-XXXXXX";
    if (!mkdtemp(pattern))
        throw std::runtime_error("mkdtemp failed");
    path_ = std::string(pattern) + "/";
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    // Read-only folders made by a test must not keep their contents.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
        if (it->is_directory(ec))
            chmod(it->path().c_str(), 0700);
    std::filesystem::remove_all(path_, ec);
}

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteWholeFile(const std::string& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool FileExists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

std::vector<std::string> ListFolder(const std::string& path)
{
    std::vector<std::string> names;
    if (const DirHandle dir = OpenFolder(path.c_str())) {
        while (const dirent* e = readdir(dir.get()))
            if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                names.emplace_back(e->d_name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

RunResult RunSylpic(const ScratchDir& dir, const std::string& args, const std::string& environment)
{
    const std::string command = "cd '" + dir.path() + "' && " + environment + " '" SYLPIC_BINARY_PATH "' " + args +
                                " >'" + dir.path() + ".out' 2>'" + dir.path() + ".err'";
    const int raw = std::system(command.c_str());
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWholeFile(dir / ".out"), ReadWholeFile(dir / ".err")};
}

std::string WriteFontConfig(const ScratchDir& dir, const std::string& family)
{
    const std::string path = dir / "fonts.conf";
    WriteWholeFile(path, "<?xml version=\"1.0\"?>\n"
                         "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                         "<fontconfig>\n"
                         "  <dir>/usr/share/fonts/truetype/nanum</dir>\n"
                         "  <cachedir>" + dir.path() + "fontconfig-cache</cachedir>\n"
                         "  <match target=\"scan\">\n"
                         "    <test name=\"family\"><string>NanumGothic</string></test>\n"
                         "    <edit name=\"family\" mode=\"prepend_first\"><string>" + family + "</string></edit>\n"
                         "  </match>\n"
                         "</fontconfig>\n");
    return "FONTCONFIG_FILE='" + path + "'";
}

std::string ToCp932(std::string_view utf8)
{
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1))
        throw std::runtime_error("no CP932");
    std::string in(utf8);
    std::string out(in.size() * 2 + 4, '\0');
    char* inPtr = in.data();
    std::size_t inLeft = in.size();
    char* outPtr = out.data();
    std::size_t outLeft = out.size();
    iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace sylpic
