#pragma once
// The conversion run: each dropped page paired with its source page,
// converted, and logged on one line.
//
//   ConversionRun run{settings, log};
//   RunConversion(run, {"/site/page.htm"});       // one log line per page
#include <string>
#include <vector>

#include "convert/block_diagnostics.h"
#include "convert/conversion_settings.h"
#include "data/limits.h"
#include "imaging/page_colours.h"

namespace sylpic {

// How a conversion run ended (for the command line's exit status).
enum class RunOutcome : int {
    kAllClean = 0,     // every page ended with message 107
    kBlockErrors = 1,  // the run ended, some page had block errors (108)
    kStopped = 2,      // a fatal error stopped the run
};

// A conversion run over dropped pages.
struct WebFontFamily;

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
    unsigned char colours[kColourPairBytes] = {kDefaultColourPair[0], kDefaultColourPair[1], kDefaultColourPair[2],
                                                kDefaultColourPair[3], kDefaultColourPair[4], kDefaultColourPair[5]};
    int imageCount = 0;
    int createdCount = 0;
    RunOutcome outcome = RunOutcome::kAllClean;
};

// Converts each dropped page in turn and logs one line for it; a fatal error
// stops the run.
void RunConversion(ConversionRun& run, const std::vector<std::string>& paths);

// Deletes the error images ("_err_" names, any extension) in `folder`, given
// with its trailing '/'.
void DeleteErrorImages(const char* folder);

}  // namespace sylpic
