#pragma once
// The web font of a page in real text: one WOFF2 subset per weight of the
// chosen face's family, of exactly the characters of the page's blocks, in
// the image folder as sylpic-HASH.woff2 (the chosen face) and
// sylpic-HASH-W.woff2 (the other weights, W their weight class).
//
// HASH names the faces and the characters, so an unchanged page names the
// same files and two pages of the same characters share them: a whole file
// of that name is used as it stands, with no font work at all.
#include <string>

namespace sylpic {

class BlockDiagnostics;
class ConversionLog;
struct PageJob;
struct RealTextPage;
struct WebFontFamily;

// The faces of a run in real text: the chosen face, then the other weights
// of its family. False, with message 115 shown, when the chosen face's
// licence forbids subsets for the web (or with message 109 when it cannot
// be read); another weight that may not be used is left out with a warning.
bool FindRunWebFont(const std::string& fontName, ConversionLog& log, BlockDiagnostics* diagnostics,
                    WebFontFamily& family);

// Writes or finds the page's font files and puts the style element that
// names them into `page.style`; counts the files written in
// `job.createdCount`. False after a fatal error, whose message is logged.
bool WritePageFont(PageJob& job, RealTextPage& page);

}  // namespace sylpic
