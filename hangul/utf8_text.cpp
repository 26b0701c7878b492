#include "hangul/utf8_text.h"

namespace sylpic {

Utf8Step DecodeUtf8Step(const unsigned char* bytes, std::size_t size, std::size_t position)
{
    const unsigned char lead = bytes[position];
    if (lead < 0x80)
        return {Utf8Result::kCharacter, lead, 1};

    // The lead byte tells how many bytes follow, and bounds the first of
    // them so that no overlong form, surrogate or value past U+10FFFF is
    // well-formed.
    int following = 0;
    char32_t character = 0;
    unsigned char lowest = 0x80;
    unsigned char highest = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        following = 1;
        character = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        following = 2;
        character = lead & 0x0F;
        if (lead == 0xE0)
            lowest = 0xA0;
        else if (lead == 0xED)
            highest = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        following = 3;
        character = lead & 0x07;
        if (lead == 0xF0)
            lowest = 0x90;
        else if (lead == 0xF4)
            highest = 0x8F;
    } else {
        return {Utf8Result::kInvalid, 0, 1};  // a continuation byte, or no lead byte of UTF-8
    }

    int length = 1;
    for (int i = 0; i < following; ++i) {
        if (position + static_cast<std::size_t>(length) >= size)
            return {Utf8Result::kCut, 0, length};
        const unsigned char b = bytes[position + static_cast<std::size_t>(length)];
        if (b < lowest || b > highest)
            return {Utf8Result::kInvalid, 0, length};
        lowest = 0x80;
        highest = 0xBF;
        character = (character << 6) | (b & 0x3F);
        ++length;
    }
    return {Utf8Result::kCharacter, character, length};
}

void AppendUtf8(char32_t character, std::string& text)
{
    if ((character >= 0xD800 && character <= 0xDFFF) || character > 0x10FFFF)
        character = 0xFFFD;
    auto put = [&text](unsigned value) { text += static_cast<char>(value); };
    if (character < 0x80) {
        put(character);
    } else if (character < 0x800) {
        put(0xC0 | (character >> 6));
        put(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        put(0xE0 | (character >> 12));
        put(0x80 | ((character >> 6) & 0x3F));
        put(0x80 | (character & 0x3F));
    } else {
        put(0xF0 | (character >> 18));
        put(0x80 | ((character >> 12) & 0x3F));
        put(0x80 | ((character >> 6) & 0x3F));
        put(0x80 | (character & 0x3F));
    }
}

}  // namespace sylpic
