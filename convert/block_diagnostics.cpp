#include "convert/block_diagnostics.h"

#include <cstdio>

#include "data/limits.h"
#include "hangul/code_page.h"
#include "hangul/cp932_text.h"
#include "hangul/utf8_text.h"

namespace sylpic {

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

// A UTF-8 page's text as valid UTF-8: each ill-formed part becomes U+FFFD.
std::string CleanUtf8(std::string_view bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::string text;
    for (std::size_t at = 0; at < bytes.size();) {
        const Utf8Step step = DecodeUtf8Step(data, bytes.size(), at);
        AppendUtf8(step.result == Utf8Result::kCharacter ? step.character : 0xFFFD, text);
        at += static_cast<std::size_t>(step.length);
    }
    return text;
}

// Page text as one line of UTF-8: every run of control bytes (line breaks,
// tabs) becomes one space, and after `limit` characters the rest becomes
// "…".
std::string OneLine(std::string_view bytes, PageEncoding encoding, std::size_t limit = std::string::npos)
{
    const std::string utf8 = encoding == PageEncoding::kUtf8 ? CleanUtf8(bytes) : Cp932ToUtf8(bytes);
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

std::string Quoted(std::string_view bytes, PageEncoding encoding)
{
    return "\"" + OneLine(bytes, encoding) + "\"";
}

// The bytes in hexadecimal: "0xED 0x95".
std::string HexBytes(std::string_view bytes)
{
    std::string text;
    for (const char c : bytes) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "%s0x%02X", text.empty() ? "" : " ", static_cast<unsigned char>(c));
        text += hex;
    }
    return text;
}

// A UTF-8 page's character with its code point: "\"①\" (U+2460)".
std::string QuotedCharacter(std::string_view bytes)
{
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const Utf8Step step = bytes.empty() ? Utf8Step{Utf8Result::kInvalid, 0, 0} : DecodeUtf8Step(data, bytes.size(), 0);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(step.character));
    return Quoted(bytes, PageEncoding::kUtf8) + " (" + code + ")";
}

std::string StrayByteReason(std::string_view detail)
{
    const unsigned char b = detail.empty() ? 0 : static_cast<unsigned char>(detail[0]);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", b);
    if (b >= 0xA1 && b <= 0xDF)
        return std::string("byte ") + hex + " (" + Quoted(detail, PageEncoding::kCp932) +
               ", half-width katakana) stands outside a double-byte pair";
    if (IsLeadByte(b))
        return std::string("byte ") + hex + " stands alone: a literal span {...} takes every byte by itself";
    return std::string("byte ") + hex + " stands outside a double-byte pair";
}

// 1st, 2nd, 3rd, 4th, ... 11th, 12th, 13th, ... 21st, ...
std::string Ordinal(long n)
{
    const long lastTwo = n % 100;
    const char* suffix = lastTwo >= 11 && lastTwo <= 13 ? "th"
                         : n % 10 == 1                   ? "st"
                         : n % 10 == 2                   ? "nd"
                         : n % 10 == 3                   ? "rd"
                                                         : "th";
    return std::to_string(n) + suffix;
}

std::string Reason(const BlockDiagnostic& d)
{
    auto quote = [&d](std::string_view bytes) { return Quoted(bytes, d.encoding); };
    switch (d.problem) {
    case BlockProblem::kNoSyllable:
        if (!d.detail.empty() && d.detail[0] == '*')
            return quote(d.detail) + " is not a letter name";
        return quote(d.detail) + " is not a syllable";
    case BlockProblem::kNoCodeCharacter:
        return "code form " + quote(d.detail) + " gives no character";
    case BlockProblem::kNoCounterpart:
        if (d.encoding == PageEncoding::kUtf8)
            return QuotedCharacter(d.detail) + " has no Korean counterpart";
        return "full-width " + quote(d.detail) + " has no Korean counterpart";
    case BlockProblem::kInvalidUtf8:
        return (d.detail.size() == 1 ? "byte " + HexBytes(d.detail) + " is" : "bytes " + HexBytes(d.detail) + " are") +
               " no UTF-8 character";
    case BlockProblem::kNotAsciiInLiteral:
        return QuotedCharacter(d.detail) + " is not ASCII: a literal span {...} draws ASCII text only";
    case BlockProblem::kStrayHighByte:
        return StrayByteReason(d.detail);
    case BlockProblem::kOpenAtEnd:
        return "no \"]]\" closes the block before the end of the page";
    case BlockProblem::kDroppedAmpersand: {
        const bool reference = d.detail.size() > 1 && d.detail[1] == '#';
        return quote(d.detail) + " is no whole code form (" + (reference ? "\"&#\" takes five" : "\"&$\" takes four") +
               " characters and \";\"): the \"&\" is dropped and the rest read as text";
    }
    case BlockProblem::kNestedOpening:
        return "\"[[\" at " + std::to_string(d.at.line) + ":" + std::to_string(d.at.column) +
               " is inside the block: blocks do not nest (is a \"]]\" missing?)";
    case BlockProblem::kTooLong:
        return "the block has " + std::to_string(d.length) + " bytes: those after the 5000th are dropped";
    case BlockProblem::kGlyphsCut:
        return "an image holds " + std::to_string(kMaxGlyphBytes) + " bytes of text (" +
               std::to_string(kMaxGlyphBytes / 2) + " Korean characters): " +
               (d.length == 1 ? "its " + Ordinal(d.firstCut) + " character is"
                              : std::to_string(d.length) + " characters, from the " + Ordinal(d.firstCut) + " on, are") +
               " not drawn (split the block)";
    case BlockProblem::kReplacesImage:
    case BlockProblem::kReplacesShownImage:
    case BlockProblem::kUnknownDrawing:
        return std::string(d.detail);
    case BlockProblem::kUndeclaredUtf8:
        return "the page is read as code page 932, yet its text is UTF-8: no declaration of UTF-8 was found in "
               "its first 1024 bytes (put <meta charset=\"utf-8\"> near its top, or give --encoding utf-8)";
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
    case BlockProblem::kGlyphsCut:
    case BlockProblem::kUndeclaredUtf8:
    case BlockProblem::kReplacesImage:
    case BlockProblem::kUnknownDrawing:
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
    if (d.problem == BlockProblem::kUndeclaredUtf8)
        return line + Reason(d);
    std::string text = OneLine(d.blockText, d.encoding, kShownCharacters);
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

}  // namespace sylpic
