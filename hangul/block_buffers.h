#pragma once
// The module-level buffers of the block being converted. One page, and one
// block, is converted at a time; the page scanner fills the block bytes, the
// block parser turns them into the glyph string. BeginPage and BeginBlock
// (convert/block_state.h) reset them; nothing else does.
#include <cstddef>

#include "data/limits.h"

// Block bytes: the bytes between [[ and ]], at most 5000, no terminator.
struct BlockBytes {
    unsigned char bytes[kMaxBlockBytes];
    int count;
    bool cut;  // bytes past the 5000th came and were dropped
};
extern BlockBytes g_blockBytes;

// Appends one byte to the block bytes; a byte beyond the 5000th is dropped.
void AddBlockByte(unsigned char byte);

// Glyph string: the text drawn for one block. At most `room` bytes of text
// (256 for an image; the whole block for real text), then room for a
// terminator of up to two bytes. Narrow mode holds code page
// 949 text (lead byte first); Unicode mode holds UTF-16 code units, low byte
// first. Its three readers do not end it in the same place:
//   - the image key reads KeyLength() bytes: the text and, in Unicode mode,
//     the first byte of the terminator, so that a Unicode key ends in "00";
//   - the rasterizer and the alt text read DrawnRoom() bytes from the start,
//     up to the first zero byte (narrow) or zero unit (Unicode), so a zero
//     inside the text ends what is drawn and said.
struct GlyphString {
    unsigned char bytes[kMaxTextGlyphBytes + 2];
    int length;  // bytes of text, the terminator not counted
    int room = kMaxGlyphBytes;  // set per page

    // Ends the text with its terminator: one zero byte, two in Unicode mode.
    void Terminate(bool unicodeMode)
    {
        bytes[length] = 0;
        if (unicodeMode)
            bytes[length + 1] = 0;
    }
    int KeyLength(bool unicodeMode) const { return unicodeMode ? length + 1 : length; }
    static constexpr std::size_t DrawnRoom() { return sizeof bytes; }
};
extern GlyphString g_glyphString;

// Unicode mode: set per page, true exactly when the font face is "New Gulim".
extern bool g_bUnicodeMode;

// The page is read as UTF-8 rather than code page 932: set per page. Its
// blocks hold UTF-8 text, never double-byte pairs.
extern bool g_bUtf8Page;

// The error glyph (a black heart suit), drawn for what cannot be represented.
inline constexpr unsigned kErrorGlyph = 0xA2BE;

// Empties the block bytes and the glyph string.
void ClearBlockText();
