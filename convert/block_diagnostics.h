#pragma once
// Diagnostics of blocks: what an author can act on, with where it lies. A
// caller that wants them hands the engine a sink (the command line prints
// them in compiler style); without one the engine notes nothing.
//
//   /site/sp_lesson.htm:12:5: error: [[hangugeo]]: "hangugeo" is not a syllable
#include <string>
#include <string_view>

#include "convert/page_encoding.h"

namespace sylpic {

enum class DiagnosticSeverity : int { kError, kWarning };

enum class BlockProblem : int {
    // Errors: the first thing in a block that could not be represented, or
    // a block that never closed. `detail` holds the text at fault.
    kNoSyllable,       // a letter run that spells no syllable or letter name
    kNoCodeCharacter,  // a code form that gives no character
    kNoCounterpart,    // a full-width character without a Korean counterpart
    kStrayHighByte,    // a byte of 0x80 or more outside a double-byte pair
    kInvalidUtf8,        // bytes of a UTF-8 page that are no UTF-8 character
    kNotAsciiInLiteral,  // a character beyond ASCII in a literal span of a UTF-8 page
    kOpenAtEnd,        // no "]]" before the end of the page
    // Warnings: what was taken otherwise than the author likely meant.
    kDroppedAmpersand,  // "&$" or "&#" without a whole form: the '&' dropped
    kNestedOpening,     // a "[[" inside the block, at `at`
    kTooLong,           // `length` block bytes, those after the 5000th dropped
    kGlyphsCut,         // `length` characters past what one image holds, from the `firstCut`th on
    // A warning about the page, not a block (at 1:1, without block text):
    kUndeclaredUtf8,  // read as code page 932, but UTF-8 beyond ASCII throughout
    // A fixed name that replaces an image of other text: a warning, and an
    // error when a tag written earlier in the run shows that image.
    // `detail` says which image, what it showed and, for the error, where
    // that tag's block is.
    kReplacesImage,
    kReplacesShownImage,
    // A reused image drawn at another resolution, at an em that no size of
    // the face gives: `detail` says which and what its tag goes without.
    kUnknownDrawing,
};

DiagnosticSeverity SeverityOf(BlockProblem problem);

// A place in a page, both from 1: the line is 1 + the LF bytes before it,
// the column counts the bytes after the last LF.
struct PagePosition {
    long line = 1;
    long column = 1;
};

struct BlockDiagnostic {
    std::string_view pagePath;  // the source page, as the run resolved it
    PagePosition position;      // of the block's "[["
    DiagnosticSeverity severity = DiagnosticSeverity::kError;
    BlockProblem problem = BlockProblem::kNoSyllable;
    PageEncoding encoding = PageEncoding::kCp932;  // of the page, and so of the two texts
    std::string_view blockText;  // the block bytes as collected
    std::string_view detail;
    PagePosition at;             // kNestedOpening only
    long length = 0;             // kTooLong and kGlyphsCut only
    long firstCut = 0;           // kGlyphsCut only
};

// Receives one call per diagnostic, in page order.
class BlockDiagnostics {
public:
    virtual ~BlockDiagnostics() = default;
    virtual void Report(const BlockDiagnostic& diagnostic) = 0;
    // A warning about the run rather than one block (a face left out, say),
    // as one line of UTF-8 without a line end.
    virtual void Warn(std::string_view text) { (void)text; }
};

// The diagnostic as one line of UTF-8 without a line end. The block text is
// cut after 60 characters with "…", and control bytes show as one space.
std::string FormatBlockDiagnostic(const BlockDiagnostic& diagnostic);

}  // namespace sylpic
