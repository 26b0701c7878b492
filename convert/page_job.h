#pragma once
// What the conversion engine needs from its caller, as plain values: the
// settings a conversion reads, where it reports, and what it counts.
//
//   PageJob job{settings, "/site/hanimg/", log};
//   int errors = ScanPage(job, source, output);   // -1 after a fatal error
//
//   ConversionRun run{settings, log};
//   RunConversion(run, {"/site/page.htm"});       // one log line per page
//
// The dialog state object (CMainDlg) fills these from its members and reads
// the results back; the tests and the fuzz targets fill them directly.
#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/block_diagnostics.h"
#include "convert/page_encoding.h"
#include "data/limits.h"
#include "imaging/image_format.h"
#include "imaging/page_colours.h"

struct RealTextPage;
struct WebFontFamily;

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

// One page for the page scanner.
struct PageJob {
    const ConversionSettings& settings;
    const char* imageDir;  // the image folder, with its trailing '/'
    ConversionLog& log;
    // Where the blocks' diagnostics go (none when null), and the page they
    // name.
    BlockDiagnostics* diagnostics = nullptr;
    const char* sourcePath = "";
    // Out: the page's colour pair (from its body tags) and its figures.
    unsigned char colours[kColourPairBytes] = {255, 255, 255, 0, 0, 0};
    int imageCount = 0;
    int createdCount = 0;
    PageEncoding encoding = PageEncoding::kCp932;  // what the page was read as
    // In real text: the faces whose subsets make the page's font (found once
    // for the run), and the page's two readings.
    const WebFontFamily* webFont = nullptr;
    RealTextPage* realText = nullptr;
};

// How a conversion run ended (for the command line's exit status).
enum class RunOutcome : int {
    kAllClean = 0,     // every page ended with message 107
    kBlockErrors = 1,  // the run ended, some page had block errors (108)
    kStopped = 2,      // a fatal error stopped the run
};

// A conversion run over dropped pages.
struct ConversionRun {
    const ConversionSettings& settings;
    ConversionLog& log;
    BlockDiagnostics* diagnostics = nullptr;  // for every page's blocks; none when null
    // In real text: the faces of the run's web fonts, found once for the run.
    const WebFontFamily* webFont = nullptr;
    // Out: the paths and figures of the last page handled.
    char sourcePath[kMaxPath] = {};
    char outputPath[kMaxPath] = {};
    char pageDir[kMaxPath] = {};
    char imageDir[kMaxPath] = {};
    unsigned char colours[kColourPairBytes] = {255, 255, 255, 0, 0, 0};
    int imageCount = 0;
    int createdCount = 0;
    RunOutcome outcome = RunOutcome::kAllClean;
};

// The page scanner: copies `source` to `output`, replacing every block by
// its image's tag. Returns the page's error count, or -1 after a fatal error
// (whose message is logged).
int ScanPage(PageJob& job, std::FILE* source, std::FILE* output);

// Converts each dropped page in turn and logs one line for it; a fatal error
// stops the run.
void RunConversion(ConversionRun& run, const std::vector<std::string>& paths);
