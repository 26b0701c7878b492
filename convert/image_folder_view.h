#pragma once
// Image reuse: the search of the image folder for an image with the same
// base name, key and colours as a block. The folder is read once per page
// into a view that is kept current as images are written, so neither the
// reuse search nor the choice of a free file name reads the folder again for
// every block.
#include <cstdint>

#include "data/limits.h"
#include "imaging/byte_buffer.h"
#include "imaging/image_format.h"
#include "imaging/image_size.h"

namespace sylpic {

class DeferredCloses;

// Leaves in `foundPath` (kMaxPath bytes) the full path of the first image, in
// name order, whose name is `baseName` followed by '.' or a digit 1 to 9 and
// whose key and colours equal `key` and `colours` and which is whole; or
// makes it empty. Only GIF and PNG images are searched. The candidates are
// read in name order only as far as the first match.
void FindReusableImage(const char* folder, const char* baseName, const char* key, int keyLength,
                       const unsigned char* colours, char* foundPath, ImageFormat format);

// A run of pages begins: keys read before it are forgotten. Within a run
// each image's key is read once, on first need, and again only when its
// file has changed. `severalPages` when the run may have more than one page.
void BeginImageRun(bool severalPages);
// The image folder view of the page being converted.
void BeginImageFolder(const char* folder);
void EndImageFolder();
// While the folder's lock is held: the temporary files that killed runs left
// in `folder` (as RemoveLeftoverFiles removes them) go when the view next
// reads the folder, so that it is listed once; FinishLeftoverSweep, still
// under the lock, removes them if the page never read it.
void SweepLeftoversWhenRead(const char* folder);
void FinishLeftoverSweep();
// True when an entry named exactly `fileName` exists in `folder`.
bool ImageFolderHas(const char* folder, const char* fileName);
// The folder open, while the view holds `folder` (as ImageFolderHas leaves
// it), for making its files relative to it; else -1.
int ImageFolderDescriptor(const char* folder);
// Where a new image written in `folder`, once linked under its name, can
// leave its descriptor to be closed when the page ends: while the view holds
// `folder` and its file system has nothing to report at a close; else null.
DeferredCloses* ImageFolderCloses(const char* folder);
// The number of the first free name in `folder` for images of `baseName`:
// 0 when baseName.extension is free, else the least N >= 1 for which
// baseNameN.extension is (names compared exactly, as ImageFolderHas does).
int FirstFreeImageNumber(const char* folder, const char* baseName, const char* extension);
// An image named `fileName` was (re)written in `folder`, by another
// process: its key is read again when next needed.
void NoteImageWritten(const char* folder, const char* fileName);
// The page wrote `bytes` to the image `fileName` in `folder` (a GIF or PNG
// in `format`): its key and whether it is whole come from them, and are
// trusted until the page ends.
void NoteImageWritten(const char* folder, const char* fileName, const ByteBuffer& bytes, ImageFormat format);
// The first tag of this run that shows the GIF or PNG image `fileName` of
// `folder`: a number its keeper gives (from 1), 0 while none shows it. It
// is kept beside the image's key until the run ends, whatever becomes of
// the key.
std::uint32_t& ImageRunTag(const char* folder, const char* fileName);
// The size recorded in the image `fileName` of `folder`, read from the file
// once per page (again after it is rewritten). False when it records none.
bool ImageFolderImageSize(const char* folder, const char* fileName, ImageFormat format, ImageSize& size);

}  // namespace sylpic
