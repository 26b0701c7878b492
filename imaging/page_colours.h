#pragma once
// Page colours: the colour pair read from the body tag's BGCOLOR and TEXT.

namespace sylpic {

// Colour pair: background R, G, B then text R, G, B. As a palette, entry 0 is
// the background (bit 0 of the glyph bitmap) and entry 1 the text colour.
inline constexpr int kColourPairBytes = 6;

// The colour pair of a page before its body tags: black text on a white
// background.
inline constexpr unsigned char kDefaultColourPair[kColourPairBytes] = {255, 255, 255, 0, 0, 0};
// Resets a colour pair to kDefaultColourPair.
void ResetColourPair(unsigned char colours[kColourPairBytes]);

// Reads BGCOLOR into bytes 0-2 and TEXT into bytes 3-5 from the zero-
// terminated attribute text of a body tag (what follows "body ").
void ReadBodyColours(const char* text, unsigned char colours[kColourPairBytes]);

// Looks for attribute `name` in `text`; 1 when a value was found after it
// (whether or not understood), 0 otherwise. `target` (3 bytes) is written
// only when the value is understood.
int FindColourAttribute(const char* text, const char* name, unsigned char target[3]);

// Reads one colour value as a BGCOLOR or TEXT value is read: delimiters
// skipped, then a colour name (or its beginning), "#rrggbb" or "#rgb". 1 and
// R, G, B in `target` when understood; 0, with `target` unchanged, for a
// value that the body tag reading passes over (none, or an unknown name).
int ReadColourValue(const char* value, unsigned char target[3]);

// Two characters read as hexadecimal digits; other characters count as 0.
int ParseHexByte(const char* two);

// 1 and R, G, B in `target` when `value` names (or begins) a table colour.
int LookupColourName(const char* value, unsigned char target[3]);

}  // namespace sylpic
