#pragma once
// The encoding a source page is read in: code page 932, as pages always
// were, or UTF-8. Decided per page as a browser would decide it, unless the
// user names the encoding.
#include <cstddef>
#include <optional>
#include <string_view>

#include "convert/encoding_prescan.h"

namespace sylpic {

enum class PageEncoding { kCp932, kUtf8 };

// What the user asks for: "auto" (the default) decides per page.
enum class PageEncodingChoice { kAuto, kUtf8, kCp932 };

// How many of the page's first bytes DetectPageEncoding reads at most: a
// byte order mark, else the bytes a browser prescans for a declaration.
inline constexpr std::size_t kPageEncodingSniffBytes = kPrescanBytes;

// Decides from the page's first bytes: bytes[0..size), the page from its
// first byte, as many bytes as the page has up to kPageEncodingSniffBytes
// (more may be passed; they are not read). UTF-8 for a UTF-8 byte order
// mark, or when no byte order mark is there and the page declares UTF-8 (any
// label of it, or of UTF-16, which browsers read as UTF-8 there). Code page
// 932 for anything else: no declaration, another encoding, a UTF-16 byte
// order mark.
PageEncoding DetectPageEncoding(const unsigned char* bytes, std::size_t size);

// The choice's encoding for this page, detecting it for kAuto.
PageEncoding ResolvePageEncoding(PageEncodingChoice choice, const unsigned char* bytes, std::size_t size);

// Reads an encoding choice as the command line (--encoding) and the settings
// file (PAGEENC) spell it: "auto", "utf-8" or "cp932", in any case of ASCII
// letters. Anything else, spaces around it included, is no choice.
std::optional<PageEncodingChoice> ParsePageEncodingChoice(std::string_view text);

}  // namespace sylpic
