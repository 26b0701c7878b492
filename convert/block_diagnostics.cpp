#include "convert/block_diagnostics.h"

#include <cstdio>

#include "hangul/code_page.h"
#include "hangul/cp932_text.h"

namespace {

constexpr std::size_t kShownCharacters = 60;
constexpr char kEllipsis[] = "\xE2\x80\xA6";  // U+2026

bool IsControl(unsigned char c)
{
    return c < 0x20 || c == 0x7F;
}

bool IsUtf8Continuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Code page 932 text as one line of UTF-8: every run of control bytes (line
// breaks, tabs) becomes one space, and after `limit` characters the rest
// becomes "…".
std::string OneLine(std::string_view bytes, std::size_t limit = std::string::npos)
{
    const std::string utf8 = Cp932ToUtf8(bytes);
    std::string line;
    std::size_t characters = 0;
    bool inControlRun = false;
    for (const char byte : utf8) {
        char c = byte;
        if (IsControl(static_cast<unsigned char>(c))) {
            if (inControlRun)
                continue;
            inControlRun = true;
            c = ' ';
        } else {
            inControlRun = false;
        }
        if (!IsUtf8Continuation(static_cast<unsigned char>(c)) && characters++ == limit)
            return line + kEllipsis;
        line += c;
    }
    return line;
}

std::string Quoted(std::string_view bytes)
{
    return "\"" + OneLine(bytes) + "\"";
}

std::string StrayByteReason(std::string_view detail)
{
    const unsigned char b = detail.empty() ? 0 : static_cast<unsigned char>(detail[0]);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", b);
    if (b >= 0xA1 && b <= 0xDF)
        return std::string("byte ") + hex + " (" + Quoted(detail) + ", half-width katakana) stands outside a double-byte pair";
    if (IsLeadByte(b))
        return std::string("byte ") + hex + " stands alone: a literal span {...} takes every byte by itself";
    return std::string("byte ") + hex + " stands outside a double-byte pair";
}

std::string Reason(const BlockDiagnostic& d)
{
    switch (d.problem) {
    case BlockProblem::kNoSyllable:
        if (!d.detail.empty() && d.detail[0] == '*')
            return Quoted(d.detail) + " is not a letter name";
        return Quoted(d.detail) + " is not a syllable";
    case BlockProblem::kNoCodeCharacter:
        return "code form " + Quoted(d.detail) + " gives no character";
    case BlockProblem::kNoCounterpart:
        return "full-width " + Quoted(d.detail) + " has no Korean counterpart";
    case BlockProblem::kStrayHighByte:
        return StrayByteReason(d.detail);
    case BlockProblem::kOpenAtEnd:
        return "no \"]]\" closes the block before the end of the page";
    case BlockProblem::kDroppedAmpersand: {
        const bool reference = d.detail.size() > 1 && d.detail[1] == '#';
        return Quoted(d.detail) + " is no whole code form (" + (reference ? "\"&#\" takes five" : "\"&$\" takes four") +
               " characters and \";\"): the \"&\" is dropped and the rest read as text";
    }
    case BlockProblem::kNestedOpening:
        return "\"[[\" at " + std::to_string(d.at.line) + ":" + std::to_string(d.at.column) +
               " is inside the block: blocks do not nest (is a \"]]\" missing?)";
    case BlockProblem::kTooLong:
        return "the block has " + std::to_string(d.length) + " bytes: those after the 5000th are dropped";
    }
    return {};
}

}  // namespace

DiagnosticSeverity SeverityOf(BlockProblem problem)
{
    switch (problem) {
    case BlockProblem::kDroppedAmpersand:
    case BlockProblem::kNestedOpening:
    case BlockProblem::kTooLong:
        return DiagnosticSeverity::kWarning;
    default:
        return DiagnosticSeverity::kError;
    }
}

std::string FormatBlockDiagnostic(const BlockDiagnostic& d)
{
    std::string line(d.pagePath);
    line += ":" + std::to_string(d.position.line) + ":" + std::to_string(d.position.column) + ": ";
    line += d.severity == DiagnosticSeverity::kError ? "error: " : "warning: ";
    std::string text = OneLine(d.blockText, kShownCharacters);
    if (d.problem == BlockProblem::kOpenAtEnd) {
        // It runs to the end of the page, which ends in a line break.
        if (!text.empty() && text.back() == ' ')
            text.pop_back();
        line += "[[" + text;
    } else {
        line += "[[" + text + "]]";
    }
    line += ": " + Reason(d);
    return line;
}
