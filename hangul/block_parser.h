#pragma once
// The block text language: turns the block bytes into the glyph string,
// reporting each character to a name sink (the image naming operation).
#include <string>

#include "hangul/name_sink.h"

namespace sylpic {

// The first character of a block that could not be represented.
enum class BlockFailure : int {
    kNone,
    kNoSyllable,       // a letter run that spells no syllable or letter name
    kNoCodeCharacter,  // a code form (&$xxxx; or &#ddddd;) that gives no character
    kNoCounterpart,    // a character (full-width, in a code page 932 page) without a KS X 1001 counterpart
    kStrayHighByte,    // a byte of 0x80 or more outside a double-byte pair
    // In a UTF-8 page:
    kInvalidUtf8,        // bytes that are no UTF-8 character
    kNotAsciiInLiteral,  // a character beyond ASCII in a literal span {...}
};

// What a parse tells an author beyond the error count: the first failure,
// and the first "&$" or "&#" whose form was incomplete, so that its '&' was
// dropped and the rest read as text. Texts are block bytes, in the page's
// encoding (code page 932, or UTF-8).
struct BlockReport {
    BlockFailure failure = BlockFailure::kNone;
    std::string failedText;       // the letter run as collected, the form, the character or the byte
    std::string droppedAmpersand;  // from the '&', up to the length of a whole form
    // Characters that found no room in the glyph string, and the place of
    // the first of them among the block's characters (from 1).
    int cutCharacters = 0;
    int firstCutCharacter = 0;
};

// Parses g_blockBytes into g_glyphString (whose length the caller set to 0),
// handing every character to `name`. The bytes are code page 932 text, or
// UTF-8 text when g_bUtf8Page is set. Returns the number of characters that
// could not be represented. With `report`, also fills it; the glyph string,
// the naming calls and the count are the same either way.
int ParseBlock(NameSink name, BlockReport* report = nullptr);

// Appends a code page 949 code (lead byte in the high half).
void AppendCode(unsigned code);
// Appends one ASCII character.
void AppendChar(unsigned char ch);

// Adds one character to the letter run; a character offered when the run
// already holds 64 is dropped.
void CollectLetter(char ch);
// Converts the letter run to a syllable or Hangul letter, appends it (or the
// error glyph) and empties the run. Returns 1 when the run was no syllable or
// letter name, else 0. An empty run converts to nothing.
int FlushLetters(NameSink name);

}  // namespace sylpic
