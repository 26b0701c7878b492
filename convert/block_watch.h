#pragma once
// What the page scanner notes about the open block for the author's
// diagnostics, and their reports when the block ends. The scanner keeps a
// watch only when its page job has a diagnostics sink.
#include "convert/block_diagnostics.h"
#include "hangul/block_parser.h"

namespace sylpic {

class BlockWatch {
public:
    BlockWatch(BlockDiagnostics& sink, const char* pagePath, PageEncoding encoding)
        : sink_(sink), pagePath_(pagePath), encoding_(encoding)
    {
    }

    // The page begins with a UTF-8 byte order mark: columns of line 1 count
    // from the byte after it, as an editor shows them.
    void SkipByteOrderMark(long bytes) { lineOneShift_ = bytes; }
    // At the block's "[[".
    void Begin(PagePosition start);
    // A double-byte pair offered to the block bytes.
    void CountPair()
    {
        length_ += 2;
        lastWasBracket_ = false;
    }
    // One single byte offered to the block bytes. True when it is the second
    // '[' of the first "[[" inside the block: the scanner then says where
    // that "[[" began.
    bool CountByte(unsigned char b)
    {
        ++length_;
        const bool opening = b == '[' && lastWasBracket_ && !nested_;
        lastWasBracket_ = b == '[' && !opening;
        return opening;
    }
    void NoteNestedOpening(PagePosition at)
    {
        nested_ = true;
        nestedAt_ = Shifted(at);
    }

    // At "]]", after the parse: the block's first failure, then its warnings.
    void ReportClosed(const BlockReport& report);
    // At the end of a page that ends inside the block.
    void ReportOpen();

    // The page was read as code page 932 but is UTF-8, and declares nothing.
    void ReportUndeclaredUtf8();
    // The block's fixed name replaces an image of other text.
    void ReportReplacedImage(bool shownEarlier, std::string_view detail)
    {
        Report(shownEarlier ? BlockProblem::kReplacesShownImage : BlockProblem::kReplacesImage, detail);
    }
    // The block reuses an image drawn at an em that no size of the face
    // gives: `detail` says which and what its tag goes without.
    void ReportUnknownDrawing(std::string_view detail) { Report(BlockProblem::kUnknownDrawing, detail); }
    // The block's place, as its diagnostics give it.
    PagePosition Start() const { return start_; }

private:
    void Report(BlockProblem problem, std::string_view detail = {});
    PagePosition Shifted(PagePosition at) const
    {
        if (at.line == 1)
            at.column -= lineOneShift_;
        return at;
    }

    BlockDiagnostics& sink_;
    const char* pagePath_;
    PageEncoding encoding_;
    PagePosition start_;
    long length_ = 0;  // bytes offered, dropped ones included
    bool lastWasBracket_ = false;
    bool nested_ = false;
    PagePosition nestedAt_;
    long lineOneShift_ = 0;
    long cutCharacters_ = 0;  // of the glyph string, as the parse reported them
    long firstCut_ = 0;
};

}  // namespace sylpic
