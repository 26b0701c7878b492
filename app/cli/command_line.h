#pragma once
// The command line: `sylpic [OPTIONS] [PAGE...]` or `sylpic -r [OPTIONS] DIR...`.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "convert/conversion_run.h"

namespace sylpic {

// Exit statuses: the run's outcome, and a wrong command line counts as a
// stopped run.
enum ExitStatus : int {
    kExitClean = static_cast<int>(RunOutcome::kAllClean),           // every page ended with message 107
    kExitBlockErrors = static_cast<int>(RunOutcome::kBlockErrors),  // some page had block errors (message 108)
    kExitStopped = static_cast<int>(RunOutcome::kStopped),          // the run stopped, or the command line is wrong
};

struct CommandLine {
    std::optional<std::string> font;
    bool fontTookNextArgument = false;  // "--font NAME" rather than "--font=NAME"
    std::optional<std::string> size;
    std::optional<std::string> format;
    std::optional<bool> transparent;
    std::optional<bool> deleteErrors;
    std::optional<int> dpi;  // 96 when not given
    std::optional<std::string> encoding;  // "AUTO", "UTF-8" or "CP932", as the settings key spells it
    bool altText = false;                 // on, whatever the settings say
    bool dimensions = false;              // on, whatever the settings say
    bool hidpi = false;      // 2x images; else as the settings file says
    // Real text (true) or images (false) for this run; else as the settings
    // file says.
    std::optional<bool> realText;
    bool quiet = false;  // no diagnostics of the blocks
    // R, G, B replacing the body tags' TEXT and BGCOLOR for the whole run.
    std::optional<std::array<unsigned char, 3>> textColour;
    std::optional<std::array<unsigned char, 3>> backgroundColour;
    bool recursive = false;  // `pages` are folders whose source pages are converted
    bool listFonts = false;
    bool help = false;
    bool version = false;
    std::vector<std::string> pages;
};

// Parses argv; on a mistake returns false with `error` set. Real text
// together with an option that only images use is a mistake.
bool ParseCommandLine(int argc, char** argv, CommandLine& line, std::string& error);

// Tells a mistake in the command line on standard error: "sylpic: WHAT"
// and where to read more, two lines in all.
void PrintUsageError(std::string_view what);

// The usage text of --help.
const char* UsageText();

// Converts the pages of `line` (which has at least one page).
int RunCommandLine(const CommandLine& line);

}  // namespace sylpic
