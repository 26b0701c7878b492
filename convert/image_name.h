#pragma once
// Image file naming: the readable base name built while a block is parsed.
#include "hangul/name_sink.h"

// The image base name: zero-terminated ASCII, emptied at every [[.
extern char g_szImageBaseName[256];
// True while the current block's name came from a name directive.
extern bool g_bFixedName;

// Extends the image base name by one character (kind: NameKind). Only the
// low 16 bits of value are used. This is the block parser's name sink.
void AddToImageName(int kind, unsigned value);

// Turns the name directive text (what stood between the backquotes) into the
// image base name: "n=" and then letters, digits and underscores, up to the
// first space. Any other directive empties the name.
void ApplyNameDirective(const char* text, int count);

// True for a device name that the platform refuses as a file name.
bool IsReservedName(const char* name);
