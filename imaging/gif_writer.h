#pragma once
#include <cstdio>
// GIF89a writer for packed-pixel images with a small palette.

// Writes a whole GIF file to `file`. Pixels are packed from the most
// significant bit, rows top to bottom, `rowBytes` apart. `transparent` is a
// palette index or -1; `comment` may be null or empty (then no comment
// extension). Returns 0 when every byte was written, -1 on a write error.
int SaveGif(FILE* file, int width, int height, int rowBytes, int bitsPerPixel,
            const unsigned char* palette, const unsigned char* pixels, int colours,
            int transparent, const char* comment);
