#include "hangul/cp932_text.h"

#include "hangul/code_page.h"
#include "hangul/iconv_handle.h"

namespace sylpic {

namespace {

constexpr char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

std::string Cp932ToUtf8(std::string_view bytes)
{
    IconvHandle decoder("UTF-8", "CP932");
    std::string text;
    text.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size();) {
        const unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            text += static_cast<char>(b);
            ++i;
            continue;
        }
        const bool pair = IsLeadByte(b) && i + 1 < bytes.size() && IsTrailByte(static_cast<unsigned char>(bytes[i + 1]));
        const std::size_t length = pair ? 2 : 1;
        unsigned char out[8];
        const int written = decoder.IsOpen() ? decoder.Convert(reinterpret_cast<const unsigned char*>(bytes.data() + i),
                                                               length, out, sizeof out)
                                             : -1;
        if (written > 0)
            text.append(reinterpret_cast<const char*>(out), static_cast<std::size_t>(written));
        else
            text += kReplacement;
        i += length;
    }
    return text;
}

}  // namespace sylpic
