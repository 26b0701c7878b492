#pragma once
// The image files that the tags written in this run show, and where each
// tag's block stands, so that a fixed name about to replace one of them can
// say so. RunConversion begins it; the block pipeline notes every tag of a
// GIF or PNG image (no XBM image is ever checked).
#include <optional>
#include <string>
#include <string_view>

namespace sylpic {

// Forgets the places of an earlier run's tags; BeginImageRun, which comes
// first, forgets which images they showed.
void BeginRunTags();
// A tag showing the image `fileName` of `folder` was written for a block of
// `page`, at `line` and `column` when they are counted (line 0 when not).
// Only the first tag of an image is kept, where it stands: "PAGE:LINE:COLUMN",
// or the page alone.
void NoteRunTag(const char* folder, const char* fileName, std::string_view page, long line = 0, long column = 0);
// Where the first tag of this run that shows the image stands; none when no
// tag of the run shows it.
std::optional<std::string> FindRunTag(const char* folder, const char* fileName);

}  // namespace sylpic
