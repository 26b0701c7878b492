// The GIF and PNG key readers, and the size reader of reused images, on
// arbitrary files, and on files the writers made from arbitrary keys and
// colours.
//
// Input: a mode byte, then the rest. Mode 0 (and 3): the rest is the file.
// Mode 1 and 2: the rest gives six colours, a size and a key; the GIF (1) or
// PNG (2) writer makes the file. The readers fill buffers of exactly their
// documented size (260 and 6 bytes), so a write past them is caught.
// Properties:
// - a key is found only where it really is: a GIF's at byte 22 after the
//   comment marker and a size byte equal to the result, a PNG's in a
//   "Comment" tEXt chunk of the result's length; colours only where a GIF's
//   colour table or a PNG's PLTE chunk holds them;
// - a size is found only where it really is: a GIF's logical screen, a
//   PNG's IHDR chunk right after the signature, an XBM's first two defines;
// - what the writers store, the readers give back: the same key, length,
//   colours and size;
// - what the writers make is a whole image, and no shorter part of it is;
//   any file is looked at for wholeness without a read past its bytes.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "convert/image_key.h"
#include "fuzz/fuzz_support.h"
#include "imaging/gif_encoder.h"
#include "imaging/image_size.h"
#include "imaging/png_encoder.h"

using namespace sylpic;

namespace {

struct ReadBack {
    int length;
    std::string text;  // the text buffer up to its first zero
    unsigned char colours[6];
};

template <typename Reader>
ReadBack Read(Reader reader, const std::string& path)
{
    // Heap buffers of exactly the documented size.
    std::unique_ptr<char[]> text(new char[260]);
    std::unique_ptr<unsigned char[]> colours(new unsigned char[6]);
    std::memset(text.get(), 'X', 260);
    std::memset(colours.get(), 0xAA, 6);
    ReadBack r;
    r.length = reader(path.c_str(), text.get(), colours.get());
    r.text.assign(text.get(), strnlen(text.get(), 260));
    FUZZ_CHECK(r.text.size() < 260, "the key text is not terminated");
    std::memcpy(r.colours, colours.get(), 6);
    return r;
}

unsigned Be32(const unsigned char* p)
{
    return (unsigned(p[0]) << 24) | (unsigned(p[1]) << 16) | (unsigned(p[2]) << 8) | unsigned(p[3]);
}

void CheckGifRead(const std::vector<unsigned char>& file, const ReadBack& r)
{
    const std::size_t size = file.size();
    for (int i = 0; i < 6; ++i) {
        const unsigned char expected = 13 + static_cast<std::size_t>(i) < size ? file[13 + i] : 0;
        FUZZ_CHECK(r.colours[i] == expected, "GIF colour " + std::to_string(i) + " not from the colour table");
    }
    if (r.length == 0) {
        FUZZ_CHECK(r.text.empty(), "GIF text without a key");
        return;
    }
    FUZZ_CHECK(size >= 22 && file[19] == 0x21 && file[20] == 0xFE && file[21] == r.length,
               "GIF key length " + std::to_string(r.length) + " without its comment");
    FUZZ_CHECK(r.text.size() <= static_cast<std::size_t>(r.length), "GIF key text longer than its size byte");
    FUZZ_CHECK(std::memcmp(file.data() + 22, r.text.data(), r.text.size()) == 0, "GIF key text not at byte 22");
}

void CheckSizeRead(const std::vector<unsigned char>& file, const std::string& path)
{
    const std::string text(file.begin(), file.end());
    ImageSize size{-1, -1};
    const bool gif = ReadImageFileSize(path.c_str(), kFormatGif, size);
    FUZZ_CHECK(gif == (file.size() >= 10 && (text.rfind("GIF87a", 0) == 0 || text.rfind("GIF89a", 0) == 0)),
               "a GIF size read or missed wrongly");
    if (gif)
        FUZZ_CHECK(size.width == (file[6] | file[7] << 8) && size.height == (file[8] | file[9] << 8), "GIF size");
    size = {-1, -1};
    if (ReadImageFileSize(path.c_str(), kFormatPng, size))
        FUZZ_CHECK(file.size() >= 24 && text.compare(0, 8, "\x89PNG\r\n\x1A\n") == 0 && Be32(&file[8]) == 13 &&
                       text.compare(12, 4, "IHDR") == 0 && static_cast<unsigned>(size.width) == Be32(&file[16]) &&
                       static_cast<unsigned>(size.height) == Be32(&file[20]),
                   "a PNG size where no IHDR chunk holds it");
    size = {-1, -1};
    if (ReadImageFileSize(path.c_str(), kFormatXbm, size)) {
        // The number after "<suffix> " at or after `from`, leading zeros and
        // all, as far as a side can be (the reader refuses a larger one).
        auto numberAfter = [&](const std::string& suffix, std::size_t from, std::size_t& at) {
            at = text.find(suffix + " ", from);
            long number = -1;
            for (std::size_t i = at == std::string::npos ? text.size() : at + suffix.size() + 1;
                 i < text.size() && text[i] >= '0' && text[i] <= '9' && number <= kMaxImageSide; ++i)
                number = (number < 0 ? 0 : number * 10) + (text[i] - '0');
            return number;
        };
        const std::size_t second = text.find("\n#define ") + 1;
        std::size_t widthAt = 0;
        std::size_t heightAt = 0;
        const long width = numberAfter("_width", 0, widthAt);
        const long height = numberAfter("_height", second, heightAt);
        FUZZ_CHECK(text.rfind("#define ", 0) == 0 && second > 0 && widthAt < second && width == size.width &&
                       heightAt < text.find('\n', second) && height == size.height,
                   "an XBM size where its defines do not hold it");
    }
}

void CheckPngRead(const std::vector<unsigned char>& file, const ReadBack& r)
{
    const std::size_t size = file.size();
    // Colours other than zero come from the first bytes of a PLTE chunk.
    bool anyColour = false;
    for (unsigned char c : r.colours)
        anyColour = anyColour || c != 0;
    if (anyColour) {
        bool found = false;
        for (std::size_t at = 12; !found && at + 4 <= size; ++at) {
            if (std::memcmp(file.data() + at, "PLTE", 4) != 0)
                continue;
            const unsigned length = Be32(file.data() + at - 4);
            if (length > 512 || at + 4 + length > size)
                continue;
            found = true;
            for (unsigned i = 0; i < 6; ++i)
                found = found && r.colours[i] == (i < length ? file[at + 4 + i] : 0);
        }
        FUZZ_CHECK(found, "PNG colours not from a PLTE chunk");
    }
    if (r.length == 0)
        return;
    FUZZ_CHECK(r.length > 0 && r.length <= 256, "PNG key length " + std::to_string(r.length));
    static const unsigned char kHead[] = {'t', 'E', 'X', 't', 'C', 'o', 'm', 'm', 'e', 'n', 't', 0};
    bool found = false;
    for (std::size_t at = 12; !found && at + sizeof kHead + r.length <= size; ++at) {
        if (std::memcmp(file.data() + at, kHead, sizeof kHead) != 0 ||
            Be32(file.data() + at - 4) != static_cast<unsigned>(r.length) + 8)
            continue;
        // The text buffer holds the key bytes; the reader does not stop at a
        // zero byte inside them, the comparison here does not either.
        found = std::memcmp(file.data() + at + sizeof kHead, r.text.data(), r.text.size()) == 0 &&
                (r.text.size() == static_cast<std::size_t>(r.length) ||
                 file[at + sizeof kHead + r.text.size()] == 0);
    }
    FUZZ_CHECK(found, "PNG key of length " + std::to_string(r.length) + " without its Comment chunk");
}

// Mode 1 and 2: colours, size and key from the input, the file from a writer.
void RoundTrip(bool png, const uint8_t* data, size_t size, const std::string& path)
{
    if (size < 8)
        return;
    unsigned char palette[6];
    std::memcpy(palette, data, 6);
    const int width = 1 + data[6] % 40;
    const int height = 1 + data[7] % 40;
    std::string key;
    for (std::size_t i = 8; i < size && key.size() < 250; ++i)
        key += static_cast<char>(0x20 + data[i] % 0x5F);  // printable ASCII, as keys are

    ByteBuffer bytes;
    if (png) {
        const int stride = (width + 3) / 4 * 4;
        std::vector<unsigned char> pixels(static_cast<std::size_t>(stride) * height);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = (i * 7 + data[i % size]) & 1;
        PngStatus status;
        SavePng(bytes, width, height, palette, pixels.data(), stride, 2, 0, key.c_str(), status);
        FUZZ_CHECK(status.code == ImagingStatus::kOk,
                   std::string("PNG encoder failed: ") + ImagingStatusText(status.code) + ": " + status.message);
    } else {
        const int rowBytes = (width + 7) / 8;
        std::vector<unsigned char> pixels(static_cast<std::size_t>(rowBytes) * height);
        for (std::size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = data[i % size];
        const ImagingStatus encoded = SaveGif(bytes, width, height, rowBytes, 1, palette, pixels.data(), 2, -1, key.c_str());
        FUZZ_CHECK(encoded == ImagingStatus::kOk, std::string("GIF encoder failed: ") + ImagingStatusText(encoded));
    }
    FUZZ_CHECK(WriteWholeFile(path, bytes.data(), bytes.size()), "cannot write " + path);
    const auto isWhole = png ? IsWholePng : IsWholeGif;
    FUZZ_CHECK(isWhole(bytes.data(), bytes.size()), "a written image is not whole");
    FUZZ_CHECK(!isWhole(bytes.data(), bytes.size() - 1 - data[0] % bytes.size()), "a cut image is whole");

    DecodedImage decoded;
    FUZZ_CHECK(png ? DecodePng(path, decoded) : DecodeGif(path, decoded), "the written image does not decode");
    const ReadBack r = png ? Read(ReadPngKey, path) : Read(ReadGifKey, path);
    FUZZ_CHECK(r.length == static_cast<int>(key.size()), "key of length " + std::to_string(key.size()) +
                                                             " read back as " + std::to_string(r.length));
    FUZZ_CHECK(r.text == key, "key " + key + " read back as " + r.text);
    FUZZ_CHECK(std::memcmp(r.colours, palette, 6) == 0, "colours not read back");
    ImageSize stored;
    FUZZ_CHECK(ReadImageFileSize(path.c_str(), png ? kFormatPng : kFormatGif, stored) &&
                   stored.width == decoded.width && stored.height == decoded.height,
               "size not read back");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return -1;
    static const ScratchFolder scratch("keys");
    const std::string path = scratch / "image";
    const unsigned mode = data[0] & 3;
    if (mode == 1 || mode == 2) {
        RoundTrip(mode == 2, data + 1, size - 1, path);
        return 0;
    }
    const std::vector<unsigned char> file(data + 1, data + size);
    FUZZ_CHECK(WriteWholeFile(path, file.data(), file.size()), "cannot write " + path);
    const ReadBack gif = Read(ReadGifKey, path);
    const ReadBack png = Read(ReadPngKey, path);
    CheckGifRead(file, gif);
    CheckPngRead(file, png);
    CheckSizeRead(file, path);
    // The file is read in windows; the bytes in memory give the same.
    const MemoryBytes bytes(file.data(), file.size());
    const auto fromMemory = [&](auto reader) {
        return Read([&](const char*, char* text, unsigned char* colours) { return reader(bytes, text, colours); }, path);
    };
    for (const auto& [fromFile, inMemory] : {std::pair{gif, fromMemory(ReadGifKeyFrom)}, std::pair{png, fromMemory(ReadPngKeyFrom)}})
        FUZZ_CHECK(fromFile.length == inMemory.length && fromFile.text == inMemory.text &&
                       std::memcmp(fromFile.colours, inMemory.colours, 6) == 0,
                   "the key read from the file differs from the key read from its bytes");
    const std::string text(file.begin(), file.end());
    FUZZ_CHECK(!IsWholeGif(file.data(), file.size()) || text.back() == 0x3B, "a whole GIF without its trailer");
    FUZZ_CHECK(!IsWholePng(file.data(), file.size()) || text.ends_with("IEND\xAE\x42\x60\x82"),
               "a whole PNG without its IEND chunk");
    return 0;
}
