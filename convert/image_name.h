#pragma once
// Image file naming: the readable base name built while a block is parsed.

// The image base name: zero-terminated ASCII, emptied at every [[.
extern char g_szImageBaseName[256];
// True while the current block's name came from a name directive.
extern bool g_bFixedName;

// Name kinds passed with each character.
enum NameKind : int {
    kNameSyllable = 0,    // romanised syllable or letter; value: its 949 code
    kNameDoubleByte = 1,  // a full-width character; value: its KS X 1001 code
    kNameAscii = 2,       // a literal ASCII character
    kNameCodeForm = 3,    // &$xxxx; or &#ddddd;
    kNameError = 4,
};

// Extends the image base name by one character. Only the low 16 bits of
// value are used.
void AddToImageName(int kind, unsigned value);

// True for a device name that the platform refuses as a file name.
bool IsReservedName(const char* name);
