// sylpic: converts pages given on the command line, or opens the dialog.
#include <cstdio>
#include <string>

#include "app/cli/command_line.h"
#include "app/cli/console_output.h"
#include "app/cli/dialog_entry.h"
#include "imaging/font_engine.h"
#include "res/version.h"

using namespace sylpic;

namespace {

int Run(int argc, char** argv)
{
    CommandLine line;
    std::string error;
    if (!ParseCommandLine(argc, argv, line, error)) {
        PrintUsageError(error);
        return kExitStopped;
    }
    if (line.help) {
        std::fputs(UsageText(), stdout);
        return kExitClean;
    }
    if (line.version) {
        std::printf("%s Ver. %s\n", SYLPIC_NAME, SYLPIC_VERSION);
        return kExitClean;
    }
    if (line.listFonts) {
        for (const std::string& face : ListHangulFaces())
            std::printf("%s\n", face.c_str());
        return kExitClean;
    }
    if (line.pages.empty()) {
        if (line.fontTookNextArgument) {
            // "sylpic --font page.htm": the page went to the font.
            PrintUsageError("\"" + *line.font + "\" was taken as the font name of --font, and no page is left to "
                            "convert");
            return kExitStopped;
        }
        if (line.recursive) {
            PrintUsageError("--recursive needs at least one folder");
            return kExitStopped;
        }
        if (line.font || line.size || line.format || line.transparent || line.deleteErrors || line.dpi ||
            line.quiet || line.textColour || line.backgroundColour) {
            PrintUsageError("the conversion options apply to pages given on the command line");
            return kExitStopped;
        }
        return RunDialog(argc, argv);
    }
    return RunCommandLine(line);
}

}  // namespace

int main(int argc, char** argv)
{
    // A failed write to standard output or standard error is a stopped run.
    return FinishOutput(Run(argc, argv));
}
