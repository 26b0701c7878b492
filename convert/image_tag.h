#pragma once
// The <img> tag that stands in the output page for a block's image. With
// every attribute it reads
//
//   <img src="./hanimg/F" alt="A" width="W" height="H" style="vertical-align:-Dpx">
//
// Each attribute is added only when its option asks for it, in this order;
// an attribute added after these (a set of sources, say) comes last.
//
//   ImageTag tag(fileName);
//   tag.AddAlt(BuildAltText(glyphs, unicodeMode, encoding));
//   tag.Finish(text);  // text holds the tag, closed
#include <string>
#include <string_view>

#include "imaging/image_size.h"

namespace sylpic {

class ImageTag {
public:
    // Opens the tag with the image's source: <img src="./hanimg/<fileName>"
    explicit ImageTag(std::string_view fileName);

    // alt="<text>", the text escaped for an attribute value already.
    void AddAlt(std::string_view escapedText);
    // width="W" height="H", the image's pixels.
    void AddSize(ImageSize size);
    // The rows of the image below its baseline, so that the image's baseline
    // meets the line's: style="vertical-align:-Dpx". Nothing for 0, since
    // the image then already sits on the baseline.
    void AddRowsBelowBaseline(int rows);
    // name="<value>", the value escaped for an attribute value already.
    void AddAttribute(std::string_view name, std::string_view escapedValue);

    // Leaves the whole tag, closed, in `tag`, whose room is used again.
    void Finish(std::string& tag) const;

private:
    std::string text_;
};

}  // namespace sylpic
