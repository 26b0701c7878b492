#include "convert/undeclared_utf8.h"

#include <cstring>

#include "hangul/utf8_text.h"

namespace sylpic {

bool IsUtf8BeyondAscii(FILE* source, long from)
{
    if (from < 0 || std::fseek(source, from, SEEK_SET) != 0)
        return false;
    unsigned char buffer[65536];
    std::size_t kept = 0;  // the start of a character that the last read cut
    bool beyondAscii = false;
    for (;;) {
        const std::size_t got = std::fread(buffer + kept, 1, sizeof buffer - kept, source);
        const std::size_t size = kept + got;
        const bool atEnd = got == 0;
        std::size_t at = 0;
        while (at < size) {
            // ASCII, most of any page, needs no decoding.
            if (buffer[at] < 0x80) {
                ++at;
                continue;
            }
            const Utf8Step step = DecodeUtf8Step(buffer, size, at);
            if (step.result == Utf8Result::kInvalid || (step.result == Utf8Result::kCut && atEnd))
                return false;
            if (step.result == Utf8Result::kCut)
                break;
            beyondAscii = beyondAscii || step.character >= 0x80;
            at += static_cast<std::size_t>(step.length);
        }
        if (atEnd)
            return beyondAscii && !std::ferror(source);
        kept = size - at;
        std::memmove(buffer, buffer + at, kept);
    }
}

}  // namespace sylpic
