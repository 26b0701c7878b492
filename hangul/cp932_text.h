#pragma once
// Code page 932 text (the pages' code page) shown as UTF-8.
#include <string>
#include <string_view>

namespace sylpic {

// Converts `bytes` one character at a time: ASCII as it stands, a lead byte
// with its trail byte, or a single byte. What code page 932 does not define
// (a lone lead byte, an unassigned pair) becomes U+FFFD, so that broken text
// still shows where it broke.
std::string Cp932ToUtf8(std::string_view bytes);

}  // namespace sylpic
