#pragma once
// The two-byte code that a character typed directly into a block of a UTF-8
// page stands for, so that it is converted as the same character would be
// in a code page 932 page or written as a code form.

namespace sylpic {

enum class BlockCodePage {
    kNone,   // neither code page fits: the character is an error
    kCp932,  // a double-byte code page 932 code, converted as in a code page 932 page
    kCp949,  // a code page 949 code, taken as the code form of that code would be
};

struct BlockCharacterCode {
    BlockCodePage page;
    unsigned char lead;  // the code's first byte; 0 for kNone
    unsigned char trail;
};

// For a character other than ASCII (ASCII is the block language, read by
// the caller), the first of these that fits:
// - its double-byte code page 932 code, when decoding that code gives the
//   character back (so not a one-way mapping such as U+2016 to 0x8161, and
//   not a one-byte code such as a half-width katakana's) and the double-
//   byte map gives that code a counterpart;
// - its code page 949 code;
// - none.
// The code page 932 codes are read from iconv on first use.
BlockCharacterCode CodeForBlockCharacter(char32_t character);

}  // namespace sylpic
