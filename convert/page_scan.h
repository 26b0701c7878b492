#pragma once
// The page scanner: one page, from its source to its output.
//
//   PageJob job{settings, "/site/hanimg/", log};
//   int errors = ScanPage(job, source, output);   // -1 after a fatal error
#include <cstdio>

#include "convert/block_diagnostics.h"
#include "convert/conversion_settings.h"
#include "convert/page_encoding.h"
#include "imaging/page_colours.h"

namespace sylpic {

// One page for the page scanner.
struct RealTextPage;
struct WebFontFamily;

struct PageJob {
    const ConversionSettings& settings;
    const char* imageDir;  // the image folder, with its trailing '/'
    ConversionLog& log;
    // Where the blocks' diagnostics go (none when null), and the page they
    // name.
    BlockDiagnostics* diagnostics = nullptr;
    const char* sourcePath = "";
    // Out: the page's colour pair (from its body tags) and its figures.
    unsigned char colours[kColourPairBytes] = {kDefaultColourPair[0], kDefaultColourPair[1], kDefaultColourPair[2],
                                                kDefaultColourPair[3], kDefaultColourPair[4], kDefaultColourPair[5]};
    int imageCount = 0;
    int createdCount = 0;
    PageEncoding encoding = PageEncoding::kCp932;  // what the page was read as
    // In real text: the faces whose subsets make the page's font (found once
    // for the run), and the page's two readings.
    const WebFontFamily* webFont = nullptr;
    RealTextPage* realText = nullptr;
};

// The page scanner: copies `source` to `output`, replacing every block by
// its image's tag. Returns the page's error count, or -1 after a fatal error
// (whose message is logged).
int ScanPage(PageJob& job, std::FILE* source, std::FILE* output);

}  // namespace sylpic
