#pragma once
#include <cstdio>
// The PNG writer on libpng: a palette image of up to 256 colours from a
// bottom-up buffer of one byte per pixel.

// Outcome of the last SavePng: 0 no error, 1 the write structure cannot be
// made, 2 the info structure cannot be made, 3 libpng reported an error.
extern int g_nPngError;
// The last message libpng reported (error or warning), at most 255 chars.
extern char g_szPngMessage[256];

// Writes the image; rows are taken from the buffer's last row up to its
// first, so the file runs top to bottom. Each row is `stride` bytes.
void SavePng(FILE* file, int width, int height, const unsigned char* palette, const unsigned char* pixels,
             int stride, int colours, int transparent, const char* comment);
