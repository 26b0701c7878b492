#pragma once
// The image files that the tags written in this run show, and where each
// tag's block stands, so that a fixed name about to replace one of them can
// say so. RunConversion begins it; the block pipeline notes every tag.
#include <string>

namespace sylpic {

// Forgets the tags of an earlier run.
void BeginRunTags();
// A tag showing the image at `path` was written for the block `where`
// ("PAGE:LINE:COLUMN", or the page alone without diagnostics).
void NoteRunTag(const std::string& path, const std::string& where);
// Where the first tag of this run that shows `path` stands; null for none.
const std::string* FindRunTag(const std::string& path);

}  // namespace sylpic
