#pragma once
// What the conversion engine needs from its caller, as plain values: the
// settings a conversion reads, and where it reports. The dialog state object
// (CMainDlg) fills these from its members; the tests and the fuzz targets
// fill them directly.
#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "convert/page_encoding.h"
#include "imaging/image_format.h"
#include "imaging/page_colours.h"

namespace sylpic {

// Where the engine reports: the log pane's text and the message boxes.
class ConversionLog {
public:
    virtual ~ConversionLog() = default;
    // Adds `text` to the log, with "\r\n" when `newline`; replaces the whole
    // log unless `append`.
    virtual void LogText(std::string_view text, bool newline, bool append) = 0;
    // The same for numbered message `number`.
    virtual void LogMessage(int number, bool newline, bool append) = 0;
    // A modal message box with an OK button; returns when closed.
    virtual void ShowMessageBox(std::string_view text) = 0;
    // Why the failure just logged happened: the file at `path` (the image,
    // the page or the font file that failed) and the system's reason. The
    // log line itself says nothing of it.
    virtual void ReportCause(std::string_view path, std::string_view reason)
    {
        (void)path;
        (void)reason;
    }
};

// The settings a conversion reads.
struct ConversionSettings {
    std::string fontName;
    std::string fontSize;  // as typed: it is part of the image key
    ImageFormat format = kFormatGif;
    bool transparent = false;
    bool deleteErrorFiles = false;
    int dpi = 96;  // vertical resolution of the drawing surface
    // How source pages are read: decided per page, or as the user says.
    PageEncodingChoice pageEncoding = PageEncodingChoice::kAuto;
    // What each <img> tag carries besides its source.
    bool altText = false;     // alt: the text drawn
    bool dimensions = false;  // width and height, and the offset to the baseline
    bool hidpi = false;       // GIF and PNG blocks also get a 2x image, offered by srcset
    // Colours that replace their half of every page's colour pair for the
    // whole run, whatever the body tags say; the tags still set the other.
    std::optional<std::array<unsigned char, 3>> textColour;
    std::optional<std::array<unsigned char, 3>> backgroundColour;
    // With deleteErrorFiles: the error images of every image folder go, once,
    // before its first page, rather than only those of the first page's.
    bool deleteErrorsPerFolder = false;
    // Each block is written as Hangul text in a span, shown in a web font of
    // the page's characters, instead of as an image: the image options above
    // are then not read.
    bool realText = false;

    // Puts the colours that replace the body tags' into `colours`.
    void ApplyColourOverrides(unsigned char colours[kColourPairBytes]) const
    {
        if (backgroundColour)
            std::copy(backgroundColour->begin(), backgroundColour->end(), colours);
        if (textColour)
            std::copy(textColour->begin(), textColour->end(), colours + 3);
    }
};

}  // namespace sylpic
