#include "convert/image_tag.h"

namespace sylpic {

ImageTag::ImageTag(std::string_view fileName)
{
    text_ = "<img src=\"./hanimg/";
    text_ += fileName;
    text_ += '"';
}

void ImageTag::AddAttribute(std::string_view name, std::string_view escapedValue)
{
    text_ += ' ';
    text_ += name;
    text_ += "=\"";
    text_ += escapedValue;
    text_ += '"';
}

void ImageTag::AddAlt(std::string_view escapedText)
{
    AddAttribute("alt", escapedText);
}

void ImageTag::AddSize(ImageSize size)
{
    AddAttribute("width", std::to_string(size.width));
    AddAttribute("height", std::to_string(size.height));
}

void ImageTag::AddRowsBelowBaseline(int rows)
{
    // Lowering by a negative amount raises: a face whose ascent exceeds its
    // height gets a positive offset rather than "--1px".
    if (rows != 0)
        AddAttribute("style", "vertical-align:" + std::to_string(-static_cast<long long>(rows)) + "px");
}

void ImageTag::Finish(std::string& tag) const
{
    tag.assign(text_);
    tag += '>';
}

}  // namespace sylpic
