#pragma once
// Real text: a block written into the page as Hangul text instead of an
// image, shown in a web font made of exactly the page's characters.
//
//   MarkupContext context;              // fed by the page scanner
//   context.OutsideByte(b);             // every byte copied outside blocks
//   context.TagClosed(tagText);         // at each '>' of a tag
//   out += RealTextMarkup(shown, encoding, context.PlaceOfBlock(inTag));
//   out += FontStyleElement(family, faces);   // once, before </head>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "convert/page_encoding.h"

namespace sylpic {

// Where a block stands, for what may replace it.
enum class RealTextPlace {
    kSpan,  // in the page's content: a <span class="sylpic" lang="ko">
    kBare,  // inside a tag, or in title, textarea, script or style: the text alone
};

// The markup of one block: the span around the escaped text, or the text
// alone with '"' escaped too, where no markup may stand.
std::string RealTextMarkup(std::u32string_view shown, PageEncoding encoding, RealTextPlace place);

// What the page scanner has passed so far, as far as real text cares:
// comments, the elements whose content is no markup, and the end of the
// head. Tags are read as the scanner reads them: from '<' to the next '>'.
class MarkupContext {
public:
    // A byte of the page outside blocks (the bytes of double-byte pairs can
    // be left out: none is '<', '-', '!' or '>').
    void OutsideByte(unsigned char b);
    // A tag just closed at '>'; `text` is what stood between '<' and '>' (as
    // much as the scanner keeps). Returns true when this is the page's first
    // "</head>" outside comments.
    bool TagClosed(std::string_view text);

    RealTextPlace PlaceOfBlock(bool inTag) const
    {
        return inTag || rawElement_[0] != '\0' ? RealTextPlace::kBare : RealTextPlace::kSpan;
    }
    bool InComment() const { return inComment_; }

private:
    bool inComment_ = false;
    bool headEnded_ = false;
    char recent_[3] = {};     // the last three bytes, to find "<!--" and "-->"
    char rawElement_[9] = {};  // "title", "textarea", "script", "style" or empty
};

// A page in real text, read twice: the first reading collects what the
// page's font must hold and where its style goes, the second writes.
struct RealTextPage {
    bool writing = false;          // the second reading
    std::set<char32_t> codePoints;  // of every block's text on the page
    int spans = 0;                  // blocks written as spans
    long headEnd = -1;              // offset of the first "</head>" outside comments
    std::string style;              // the <style> element, when the page has spans
    bool styleWritten = false;
};

// One file of a page's web font: its name in the image folder and the
// weight it draws.
struct WebFontFaceFile {
    std::string fileName;  // "sylpic-<hash>.woff2"
    int weight;            // the face's OS/2 weight class
};

// The <style> element that gives the spans their font: one @font-face per
// weight under one family, the chosen face's weight first.
std::string FontStyleElement(std::string_view family, const std::vector<WebFontFaceFile>& faces);

}  // namespace sylpic
