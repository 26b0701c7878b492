#pragma once
// Image reuse: the key stored in each GIF and PNG image's comment, and the
// search of the image folder for an image with the same key and colours.
// The folder is read once per page into a view that is kept current as
// images are written, so neither the reuse search nor the choice of a free
// file name reads the folder again for every block.
#include <string_view>

#include "data/limits.h"
#include "imaging/image_format.h"
#include "imaging/image_size.h"

// Writes into `key` the key of a block drawn in `fontName` at `fontSize`
// (both as set), opaque or transparent, whose glyph string is `glyphs`:
// "<font> <size> ", "^" unless transparent, then each glyph byte in upper-
// case hexadecimal. Returns its length, or 0 (and an empty key) when it
// would be longer than 250 characters.
int MakeImageKey(std::string_view fontName, std::string_view fontSize, bool transparent,
                 const unsigned char* glyphs, int glyphLength, char key[kImageKeyBytes]);

// Reads the key text (buffer of 260 bytes) and colours (6 bytes) of a GIF
// written by this program; returns the key length, 0 when there is none.
int ReadGifKey(const char* path, char* text, unsigned char* colours);
// The same for a PNG: the "Comment" tEXt chunk before the first IDAT.
int ReadPngKey(const char* path, char* text, unsigned char* colours);

// Reads the size recorded at the start of the image file at `path`, a
// file in `format`. False when the file cannot be read or records none.
bool ReadImageFileSize(const char* path, ImageFormat format, ImageSize& size);

// Leaves in `foundPath` (260 bytes) the full path of the first image, in
// name order, whose name is `baseName` followed by '.' or a digit 1 to 9 and
// whose key and colours equal `key` and `colours`; or makes it empty. Only
// GIF and PNG images are searched.
void FindReusableImage(const char* folder, const char* baseName, const char* key, int keyLength,
                       const unsigned char* colours, char* foundPath, ImageFormat format);

// The image folder view of the page being converted.
void BeginImageFolder(const char* folder);
void EndImageFolder();
// True when an entry named exactly `fileName` exists in `folder`.
bool ImageFolderHas(const char* folder, const char* fileName);
// The number of the first free name in `folder` for images of `baseName`:
// 0 when baseName.extension is free, else the least N >= 1 for which
// baseNameN.extension is (names compared exactly, as ImageFolderHas does).
int FirstFreeImageNumber(const char* folder, const char* baseName, const char* extension);
// An image named `fileName` was (re)written in `folder`.
void NoteImageWritten(const char* folder, const char* fileName);
// The size recorded in the image `fileName` of `folder`, read from the file
// once per page (again after it is rewritten). False when it records none.
bool ImageFolderImageSize(const char* folder, const char* fileName, ImageFormat format, ImageSize& size);
