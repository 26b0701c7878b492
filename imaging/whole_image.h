#pragma once
// Whether the bytes of an image file are the whole image: a file cut short
// by a full disk or a killed run, or damaged later, can still begin with a
// whole header and comment, so an image is trusted only when every part of
// it is there, down to its last byte. Any bytes may be given: nothing
// outside bytes[0..size) is read.
#include <cstddef>

// A GIF: the header and logical screen, the global colour table if it has
// one, then extensions and images whose data sub-blocks run exactly to the
// trailer (0x3B), which is the file's last byte.
bool IsWholeGif(const unsigned char* bytes, std::size_t size);

// A PNG: the signature, then chunks that each fit and whose CRC is right,
// IHDR first and at least one IDAT, ending with IEND at the file's end.
bool IsWholePng(const unsigned char* bytes, std::size_t size);
