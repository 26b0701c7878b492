#pragma once
// What a web page declares its encoding to be, found the way browsers find
// it before they decode the page: by prescanning its first bytes for a
// <meta> charset declaration, and by the labels browsers accept for an
// encoding.
#include <cstddef>
#include <string_view>

namespace sylpic {

// Browsers look no further than this many bytes for a declaration.
inline constexpr std::size_t kPrescanBytes = 1024;

// The encoding that `label` names, as a browser understands it: ASCII
// whitespace around it is ignored, and so is the case of ASCII letters.
// Returns the encoding's name ("UTF-8", "Shift_JIS", "windows-1252", ...),
// or an empty view when no encoding has that label.
std::string_view EncodingForLabel(std::string_view label);

// Prescans bytes[0..size) for the encoding the page declares: a <meta
// charset> or <meta http-equiv="content-type" content="...charset=...">
// outside comments, the first one that names a known encoding winning, or
// else an XML declaration's encoding. Reads no byte at or past
// min(size, kPrescanBytes); pass the page from its first byte, after a byte
// order mark has been ruled out.
//
// Returns the encoding's name as EncodingForLabel gives it, with a declared
// UTF-16 taken as "UTF-8" and "x-user-defined" as "windows-1252", as browsers
// take them. Only a page that starts with "<?x" in UTF-16 gives "UTF-16LE"
// or "UTF-16BE". Returns an empty view when the page declares nothing.
std::string_view PrescanEncoding(const unsigned char* bytes, std::size_t size);

}  // namespace sylpic
