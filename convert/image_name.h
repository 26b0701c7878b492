#pragma once
// Image file naming: the base name of the block being converted, built from
// its name directive or from its characters while it is parsed, and the
// numbered file names made from it.
//
//   at "[[":             g_imageName.Clear();            (BeginBlock does it)
//   at the closing "`":  ApplyNameDirective(text, count);
//   while parsing:       ParseBlock(AddToImageName);
//   at "]]":             g_imageName.Settle();
//   a file name:         g_imageName.FileName(n, "gif", out, sizeof out);
#include <cstddef>

#include "data/limits.h"
#include "hangul/name_sink.h"

namespace sylpic {

struct ImageName {
    // Zero-terminated ASCII.
    char base[kImageBaseNameBytes];
    // The name came from a name directive: the block's characters leave it
    // as it is, and its image replaces the file of that name.
    bool fixed;

    // Empty, and not fixed.
    void Clear();
    // The name directive text (what stood between the backquotes): "n=" and
    // then letters, digits and underscores, up to the first space. Any other
    // directive empties the name. A name so given is fixed.
    void ApplyDirective(const char* text, int count);
    // Extends the name by one character of the block (kind: NameKind). Only
    // the low 16 bits of value are used. A fixed name stays as it is.
    void Add(int kind, unsigned value);
    // At the block's end: an empty name becomes "_" (a free name), and a
    // device name the platform refuses gets "_" after it.
    void Settle();
    // Writes into `out` the file name numbered `number`: base.ext for 0,
    // baseN.ext after. Returns what snprintf returns.
    int FileName(int number, const char* extension, char* out, std::size_t room) const;
};

// The name of the block being converted.
extern ImageName g_imageName;

// The block parser's name sink: g_imageName.Add.
void AddToImageName(int kind, unsigned value);
// The page scanner's call at a name directive's closing backquote:
// g_imageName.ApplyDirective.
void ApplyNameDirective(const char* text, int count);

// True for a device name that the platform refuses as a file name.
bool IsReservedName(const char* name);

}  // namespace sylpic
