// The colour parser on arbitrary body tag text.
//
// Input: the attribute text of a body tag (what follows "body "), cut at its
// first zero byte, in a buffer of exactly its size so that any read past its
// end is caught. Properties:
// - ReadBodyColours does what the two attribute searches do one by one;
// - a half of the colour pair changes only when its attribute name is in the
//   text, and a search that finds no value leaves its target alone;
// - a colour name is understood only when it begins a name of the table, and
//   then gives that row's colour.
#include <cstdint>

#include <cstring>
#include <memory>
#include <string>

#include "data/colour_names.h"
#include "fuzz/fuzz_support.h"
#include "imaging/page_colours.h"
#include "hangul/ascii_text.h"

using namespace sylpic;

namespace {

bool ContainsIgnoringCase(const char* text, const char* word)
{
    const std::size_t n = std::strlen(word);
    for (const char* p = text; *p; ++p) {
        std::size_t i = 0;
        while (i < n && p[i] && (p[i] | 0x20) == word[i])
            ++i;
        if (i == n)
            return true;
    }
    return false;
}

std::string Bytes(const unsigned char* c, int n)
{
    std::string s;
    for (int i = 0; i < n; ++i)
        s += std::to_string(c[i]) + " ";
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::size_t length = strnlen(reinterpret_cast<const char*>(data), size);
    std::unique_ptr<char[]> text(new char[length + 1]);
    std::memcpy(text.get(), data, length);
    text[length] = '\0';

    // Start from colours no parse gives by chance.
    const unsigned char start[6] = {1, 2, 3, 4, 5, 6};
    unsigned char pair[6];
    std::memcpy(pair, start, 6);
    ReadBodyColours(text.get(), pair);

    unsigned char background[3] = {1, 2, 3};
    unsigned char foreground[3] = {4, 5, 6};
    const int foundBackground = FindColourAttribute(text.get(), "BGCOLOR", background);
    const int foundForeground = FindColourAttribute(text.get(), "TEXT", foreground);
    FUZZ_CHECK(std::memcmp(pair, background, 3) == 0 && std::memcmp(pair + 3, foreground, 3) == 0,
               "the body colours differ from the attribute searches: " + Bytes(pair, 6));
    if (!foundBackground)
        FUZZ_CHECK(std::memcmp(background, start, 3) == 0, "BGCOLOR not found but changed");
    if (!foundForeground)
        FUZZ_CHECK(std::memcmp(foreground, start + 3, 3) == 0, "TEXT not found but changed");
    if (!ContainsIgnoringCase(text.get(), "bgcolor"))
        FUZZ_CHECK(!foundBackground, "BGCOLOR found in a text without it");
    if (!ContainsIgnoringCase(text.get(), "text"))
        FUZZ_CHECK(!foundForeground, "TEXT found in a text without it");

    // The name lookup on the text itself.
    unsigned char named[3] = {7, 8, 9};
    if (LookupColourName(text.get(), named)) {
        std::size_t n = 0;
        while (static_cast<signed char>(text[n]) > 0x22)
            ++n;
        bool begins = false;
        for (const ColourName& row : g_colourNames) {
            if (std::strlen(row.name) < n || !EqualsIgnoringCase(std::string_view(row.name, n), std::string_view(text.get(), n)))
                continue;
            const unsigned char rgb[3] = {static_cast<unsigned char>(row.rgb >> 16),
                                          static_cast<unsigned char>(row.rgb >> 8),
                                          static_cast<unsigned char>(row.rgb)};
            FUZZ_CHECK(std::memcmp(named, rgb, 3) == 0, std::string("not the first row for ") + text.get());
            begins = true;
            break;
        }
        FUZZ_CHECK(begins, std::string("a name no row begins with: ") + text.get());
    } else {
        FUZZ_CHECK(named[0] == 7 && named[1] == 8 && named[2] == 9, "a failed lookup changed the colour");
    }
    ParseHexByte(text.get());  // reads two characters or stops at the end
    return 0;
}
