// The page encoding detection and the meta prescan on arbitrary page starts.
//
// Input: the first bytes of a page. Properties:
// - nothing past the bytes given is read (each call gets a buffer of
//   exactly its size);
// - bytes from the 1025th on change nothing, whether cut off or altered;
// - a declared encoding is a name that the label table gives for itself,
//   and a page that a UTF-8 declaration opens is a UTF-8 page;
// - a label is read ignoring ASCII whitespace around it and ASCII case.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "convert/encoding_prescan.h"
#include "convert/page_encoding.h"
#include "fuzz/fuzz_support.h"
#include "hangul/ascii_text.h"

using namespace sylpic;

namespace {

// A heap copy of exactly `size` bytes, so that a read past it is caught.
std::unique_ptr<unsigned char[]> ExactCopy(const uint8_t* data, std::size_t size)
{
    std::unique_ptr<unsigned char[]> copy(new unsigned char[std::max<std::size_t>(size, 1)]);
    if (size > 0)
        std::memcpy(copy.get(), data, size);
    return copy;
}

struct Verdict {
    std::string declared;
    PageEncoding encoding;
    bool operator==(const Verdict&) const = default;
};

Verdict Judge(const unsigned char* bytes, std::size_t size)
{
    return {std::string(PrescanEncoding(bytes, size)), DetectPageEncoding(bytes, size)};
}

std::string Describe(const Verdict& v)
{
    return "declared \"" + v.declared + "\", " + (v.encoding == PageEncoding::kUtf8 ? "UTF-8" : "CP932");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto page = ExactCopy(data, size);
    const Verdict whole = Judge(page.get(), size);

    const std::size_t sniffed = std::min(size, kPageEncodingSniffBytes);
    const auto start = ExactCopy(data, sniffed);
    FUZZ_CHECK(Judge(start.get(), sniffed) == whole, "cutting after 1024 bytes changed " + Describe(whole));
    if (size > sniffed) {
        auto altered = ExactCopy(data, size);
        for (std::size_t i = sniffed; i < size; ++i)
            altered[i] = static_cast<unsigned char>(~altered[i]);
        FUZZ_CHECK(Judge(altered.get(), size) == whole, "bytes after 1024 changed " + Describe(whole));
    }

    if (!whole.declared.empty() && whole.declared != "replacement")
        FUZZ_CHECK(EncodingForLabel(whole.declared) == whole.declared, "declared an unknown name: " + whole.declared);

    // A declaration that opens the page decides it.
    const std::string opened = "<meta charset=\"utf-8\">" + std::string(reinterpret_cast<const char*>(data), size);
    const auto openedCopy = ExactCopy(reinterpret_cast<const uint8_t*>(opened.data()), opened.size());
    FUZZ_CHECK(DetectPageEncoding(openedCopy.get(), opened.size()) == PageEncoding::kUtf8,
               "a page opened by a UTF-8 declaration is not UTF-8");

    // The input as a label, and as an encoding choice.
    const std::string label(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 40));
    const std::string_view named = EncodingForLabel(label);
    std::string upper = label;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](char c) { return AsciiUpper(static_cast<unsigned char>(c)); });
    FUZZ_CHECK(EncodingForLabel(upper) == named, "the case of the label " + label + " mattered");
    FUZZ_CHECK(EncodingForLabel(" \t\n\f\r" + label + "\r\n") == named, "whitespace around " + label + " mattered");
    if (const auto choice = ParsePageEncodingChoice(label)) {
        std::string lower = label;
        std::transform(lower.begin(), lower.end(), lower.begin(), AsciiLower);
        FUZZ_CHECK(lower == "auto" || lower == "utf-8" || lower == "cp932", "a choice from " + label);
    }
    return 0;
}
