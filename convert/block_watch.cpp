#include "convert/block_watch.h"

#include "hangul/block_buffers.h"

namespace sylpic {

namespace {

BlockProblem ProblemOf(BlockFailure failure)
{
    switch (failure) {
    case BlockFailure::kNoCodeCharacter: return BlockProblem::kNoCodeCharacter;
    case BlockFailure::kNoCounterpart: return BlockProblem::kNoCounterpart;
    case BlockFailure::kStrayHighByte: return BlockProblem::kStrayHighByte;
    case BlockFailure::kInvalidUtf8: return BlockProblem::kInvalidUtf8;
    case BlockFailure::kNotAsciiInLiteral: return BlockProblem::kNotAsciiInLiteral;
    default: return BlockProblem::kNoSyllable;
    }
}

}  // namespace

void BlockWatch::Begin(PagePosition start)
{
    start_ = Shifted(start);
    length_ = 0;
    lastWasBracket_ = false;
    nested_ = false;
}

void BlockWatch::Report(BlockProblem problem, std::string_view detail)
{
    BlockDiagnostic diagnostic;
    diagnostic.pagePath = pagePath_;
    diagnostic.position = start_;
    diagnostic.severity = SeverityOf(problem);
    diagnostic.problem = problem;
    diagnostic.encoding = encoding_;
    const int count = g_blockBytes.count < kMaxBlockBytes ? g_blockBytes.count : kMaxBlockBytes;
    diagnostic.blockText = {reinterpret_cast<const char*>(g_blockBytes.bytes), static_cast<std::size_t>(count > 0 ? count : 0)};
    diagnostic.detail = detail;
    diagnostic.at = nestedAt_;
    diagnostic.length = problem == BlockProblem::kGlyphsCut ? cutCharacters_ : length_;
    diagnostic.firstCut = firstCut_;
    sink_.Report(diagnostic);
}

void BlockWatch::ReportClosed(const BlockReport& report)
{
    if (report.failure != BlockFailure::kNone)
        Report(ProblemOf(report.failure), report.failedText);
    if (nested_)
        Report(BlockProblem::kNestedOpening);
    if (!report.droppedAmpersand.empty())
        Report(BlockProblem::kDroppedAmpersand, report.droppedAmpersand);
    if (length_ > kMaxBlockBytes)
        Report(BlockProblem::kTooLong);
    if (report.cutCharacters > 0) {
        cutCharacters_ = report.cutCharacters;
        firstCut_ = report.firstCutCharacter;
        Report(BlockProblem::kGlyphsCut);
    }
}

void BlockWatch::ReportUndeclaredUtf8()
{
    BlockDiagnostic diagnostic;
    diagnostic.pagePath = pagePath_;
    diagnostic.severity = SeverityOf(BlockProblem::kUndeclaredUtf8);
    diagnostic.problem = BlockProblem::kUndeclaredUtf8;
    diagnostic.encoding = encoding_;
    sink_.Report(diagnostic);
}

void BlockWatch::ReportOpen()
{
    // Nothing of the block is lost or read: the page gets it back as it
    // stood, so only the missing end is worth telling.
    Report(BlockProblem::kOpenAtEnd);
}

}  // namespace sylpic
