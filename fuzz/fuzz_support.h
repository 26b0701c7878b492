#pragma once
// Shared pieces of the fuzz targets: a property check that stops the fuzzer,
// a scratch folder in memory, whole-file reads and writes, and independent
// decoders for the images the conversion writes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sylpic {

// A property that does not hold is a finding: print it and abort, so that
// libFuzzer keeps the input that broke it.
[[noreturn]] void FuzzFail(const char* file, int line, const char* what, const std::string& detail);
#define FUZZ_CHECK(condition, detail)                                 \
    do {                                                              \
        if (!(condition))                                             \
            FuzzFail(__FILE__, __LINE__, #condition, (detail));       \
    } while (0)

// A folder of its own under /dev/shm (or /tmp), made once per process and
// emptied between inputs. Paths end in '/'.
class ScratchFolder {
public:
    explicit ScratchFolder(const char* tag);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + std::string(name); }
    // Removes everything in the folder, the folder itself stays.
    void Empty() const;

private:
    std::string path_;
};

std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const void* bytes, std::size_t size);
// Names in a folder (not "." and ".."), sorted; subfolders included.
std::vector<std::string> ListFolder(const std::string& path);

// Decoders that share no code with the writers. Each returns true when the
// file is a complete image of the format, and gives its size.
struct DecodedImage {
    int width = 0;
    int height = 0;
};
bool DecodeGif(const std::string& path, DecodedImage& image);
bool DecodePng(const std::string& path, DecodedImage& image);
bool DecodeXbm(const std::string& path, DecodedImage& image);

}  // namespace sylpic
