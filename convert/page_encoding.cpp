#include "convert/page_encoding.h"

#include "convert/encoding_prescan.h"
#include "hangul/ascii_text.h"

namespace sylpic {

namespace {

bool StartsWith(const unsigned char* bytes, std::size_t size, std::string_view prefix)
{
    if (size < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (bytes[i] != static_cast<unsigned char>(prefix[i]))
            return false;
    }
    return true;
}

}  // namespace

PageEncoding DetectPageEncoding(const unsigned char* bytes, std::size_t size)
{
    if (StartsWith(bytes, size, "\xEF\xBB\xBF"))
        return PageEncoding::kUtf8;
    // A UTF-16 byte order mark decides as firmly; such a page is no UTF-8.
    if (StartsWith(bytes, size, "\xFE\xFF") || StartsWith(bytes, size, "\xFF\xFE"))
        return PageEncoding::kCp932;
    return PrescanEncoding(bytes, size) == "UTF-8" ? PageEncoding::kUtf8 : PageEncoding::kCp932;
}

PageEncoding ResolvePageEncoding(PageEncodingChoice choice, const unsigned char* bytes, std::size_t size)
{
    switch (choice) {
    case PageEncodingChoice::kUtf8:
        return PageEncoding::kUtf8;
    case PageEncodingChoice::kCp932:
        return PageEncoding::kCp932;
    case PageEncodingChoice::kAuto:
        break;
    }
    return DetectPageEncoding(bytes, size);
}

std::optional<PageEncodingChoice> ParsePageEncodingChoice(std::string_view text)
{
    if (EqualsIgnoringCase(text, "auto"))
        return PageEncodingChoice::kAuto;
    if (EqualsIgnoringCase(text, "utf-8"))
        return PageEncodingChoice::kUtf8;
    if (EqualsIgnoringCase(text, "cp932"))
        return PageEncodingChoice::kCp932;
    return std::nullopt;
}

}  // namespace sylpic
