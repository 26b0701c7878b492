#pragma once
// The fixed sizes that every layer agrees on. Buffers are sized by these and
// what does not fit is dropped, so each limit is stated once.

namespace sylpic {

// A path: 259 characters and a terminating zero.
inline constexpr int kMaxPath = 260;
// The image key stored in a GIF or PNG comment: at most 250 characters.
inline constexpr int kMaxImageKey = 250;
// The bytes of one block between [[ and ]]: at most 5000.
inline constexpr int kMaxBlockBytes = 5000;
// A letter run: at most 64 characters (then a terminating zero).
inline constexpr int kMaxLetterRun = 64;
// The glyph string of one block: at most 256 bytes of text.
inline constexpr int kMaxGlyphBytes = 256;
// Tag text and name directive text: at most 256 bytes each, then a zero.
inline constexpr int kMaxTagText = 256;
// The image base name's buffer: zero-terminated ASCII.
inline constexpr int kImageBaseNameBytes = 256;
// A buffer that takes an image key and its terminating zero.
inline constexpr int kImageKeyBytes = 256;
// A buffer that takes an image key read back from an image file.
inline constexpr int kReadKeyBytes = 260;
// The last message libpng reported: 255 characters and a zero.
inline constexpr int kPngMessageBytes = 256;
// A folder, name or extension part of a path: 255 characters and a zero.
inline constexpr int kMaxPathPart = 256;
// Real text is not drawn and takes the whole block: every block byte makes
// at most two bytes of glyph string.
inline constexpr int kMaxTextGlyphBytes = 2 * kMaxBlockBytes;

}  // namespace sylpic
