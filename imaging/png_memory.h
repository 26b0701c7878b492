#pragma once
// libpng's and zlib's working memory, kept from one image to the next.
//
//   png_create_write_struct_2(..., nullptr, TakePngMemory, ReturnPngMemory);
//
// Every PNG asks for the same few blocks (zlib's window, hash chains and
// pending buffer: some 300 KB) and gives them all back at its end. Freed,
// they lie at the top of the heap, which the C library then hands back to
// the system, only to take it again, a page fault at a time, for the next
// image: some 50 us an image. Returned blocks are kept instead, a few of
// each size, and handed out again to a request of their exact size.
#include <png.h>

namespace sylpic {

png_voidp TakePngMemory(png_structp png, png_alloc_size_t size);
void ReturnPngMemory(png_structp png, png_voidp block);

}  // namespace sylpic
