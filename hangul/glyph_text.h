#pragma once
// The text a glyph string stands for, as Unicode code points: what is drawn
// for a block, and what its alt text says.
#include <cstddef>
#include <string>

namespace sylpic {

struct GlyphString;

// Narrow mode: code page 949 bytes up to the first zero byte or the end of
// the room. A byte pair that is no character is one U+FFFD.
std::u32string DecodeNarrowGlyphs(const unsigned char* bytes, std::size_t room);

// Unicode mode: UTF-16 code units, low byte first, up to the first zero
// unit or the end of the room. A lone surrogate is one U+FFFD.
std::u32string DecodeUnicodeGlyphs(const unsigned char* bytes, std::size_t room);

// The whole glyph string's room decoded in the given mode, exactly as far
// as drawing goes.
std::u32string DecodeGlyphString(const GlyphString& glyphs, bool unicodeMode);

}  // namespace sylpic
