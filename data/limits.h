#pragma once
// The fixed sizes that every layer agrees on. Buffers are sized by these and
// what does not fit is dropped, so each limit is stated once.

// A path: 259 characters and a terminating zero.
inline constexpr int kMaxPath = 260;
// The image key stored in a GIF or PNG comment: at most 250 characters.
inline constexpr int kMaxImageKey = 250;
// The bytes of one block between [[ and ]]: at most 5000.
inline constexpr int kMaxBlockBytes = 5000;
// The glyph string of one block: at most 256 bytes of text.
inline constexpr int kMaxGlyphBytes = 256;
// Real text is not drawn and takes the whole block: every block byte makes
// at most two bytes of glyph string.
inline constexpr int kMaxTextGlyphBytes = 2 * kMaxBlockBytes;
