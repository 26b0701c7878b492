#pragma once
// The module-level state of the page and the block being converted, as two
// declared objects, each with one reset. One page, and one block, is
// converted at a time; the page scanner fills the block bytes, the block
// parser turns them into the glyph string.
//
//   g_page   PageState: Unicode mode, UTF-8 page (and the glyph string's
//            room, which holds for the page)
//   g_block  BlockState: block bytes, glyph string, letter run, the parser's
//            report
//
// The code reads their parts by their own names (g_bUnicodeMode,
// g_bUtf8Page, g_blockBytes, g_glyphString). BeginPage and BeginBlock
// (convert/block_state.h) call the resets; nothing else does.
#include <cstddef>

#include "data/limits.h"

namespace sylpic {

struct BlockReport;  // hangul/block_parser.h

// Block bytes: the bytes between [[ and ]], at most 5000, no terminator.
struct BlockBytes {
    unsigned char bytes[kMaxBlockBytes];
    int count;
    bool cut;  // bytes past the 5000th came and were dropped
};

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

// The letter run: the letters of one romanised syllable, or '*' and the
// name of one Hangul letter, at most 64 (more are dropped). Empty between
// blocks.
struct LetterRun {
    char letters[kMaxLetterRun + 1];
    int count;
};

// The block state: all that holds for one block below its image name.
struct BlockState {
    BlockBytes bytes;
    GlyphString glyphs;
    LetterRun letters;
    // The report of the parse under way when its caller asked for one:
    // set by ParseBlock for the length of the call, else null.
    BlockReport* report;

    // Empties the block bytes, the glyph string and the letter run (the
    // glyph string's room is the page's).
    void Reset()
    {
        bytes.count = 0;
        bytes.cut = false;
        glyphs.length = 0;
        letters.count = 0;
        report = nullptr;
    }
};
extern BlockState g_block;

// The page state.
struct PageState {
    // Unicode mode: true exactly when the font face is "New Gulim".
    bool unicodeMode;
    // The page is read as UTF-8 rather than code page 932: its blocks hold
    // UTF-8 text, never double-byte pairs.
    bool utf8Page;

    // Sets the page's state; the glyph string's room is the whole block in
    // real text, else 256 bytes.
    void Reset(bool unicode, bool utf8, bool realText)
    {
        unicodeMode = unicode;
        utf8Page = utf8;
        g_block.glyphs.room = realText ? kMaxTextGlyphBytes : kMaxGlyphBytes;
    }
};
extern PageState g_page;

// The parts by the names the code reads them by.
inline constexpr BlockBytes& g_blockBytes = g_block.bytes;
inline constexpr GlyphString& g_glyphString = g_block.glyphs;
inline constexpr bool& g_bUnicodeMode = g_page.unicodeMode;
inline constexpr bool& g_bUtf8Page = g_page.utf8Page;

// The error glyph (a black heart suit), drawn for what cannot be represented.
inline constexpr unsigned kErrorGlyph = 0xA2BE;

}  // namespace sylpic
