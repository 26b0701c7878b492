#pragma once
// Code page services: the byte classes of the page's code page (932), and
// conversions to and from code page 949. The 949 conversions use a table
// generated from the C library's iconv (data/cp949_table.cpp).

namespace sylpic {

// Lead bytes of code page 932: 0x81-0x9F and 0xE0-0xFC.
inline bool IsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
// Trail bytes of code page 932: 0x40-0x7E and 0x80-0xFC.
inline bool IsTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

// True when code page 949 conversions are available (iconv knows CP949).
bool IsCodePage949Available();

// Decodes the two bytes `first`, `second` as code page 949 text into room for
// one UTF-16 code unit, as MultiByteToWideChar would: returns 1 and sets
// *unit only when the two bytes are exactly one double-byte character;
// otherwise returns 0 (two characters do not fit in one unit, an invalid
// pair is no character). *unit is left unchanged on 0.
int Cp949PairToUnit(unsigned char first, unsigned char second, char16_t* unit);

// Encodes one UTF-16 code unit in code page 949 into room for two bytes, as
// WideCharToMultiByte would: returns 2 with out[0] the lead byte for a
// double-byte character, and 1 for anything that takes one byte (ASCII, or
// the default character put in place of a character that 949 lacks).
int UnitToCp949(char16_t unit, unsigned char out[2]);

}  // namespace sylpic
