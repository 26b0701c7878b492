#pragma once
// The image files that the tags written in this run show, and where each
// tag's block stands, so that a fixed name about to replace one of them can
// say so. RunConversion begins it; the block pipeline notes every tag.
#include <optional>
#include <string>
#include <string_view>

namespace sylpic {

// Forgets the tags of an earlier run.
void BeginRunTags();
// A tag showing the image at `path` was written for a block of `page`, at
// `line` and `column` when they are counted (line 0 when not). Only the
// first tag of an image is kept, where it stands: "PAGE:LINE:COLUMN", or
// the page alone.
void NoteRunTag(const std::string& path, std::string_view page, long line = 0, long column = 0);
// Where the first tag of this run that shows `path` stands; none when no
// tag of the run shows it.
std::optional<std::string> FindRunTag(const std::string& path);

}  // namespace sylpic
