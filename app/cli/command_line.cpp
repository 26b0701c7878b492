#include "app/cli/command_line.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/cli/console_ui.h"
#include "app/main_dlg.h"
#include "app/profile.h"
#include "app/settings.h"
#include "hangul/code_page.h"
#include "imaging/font_engine.h"
#include "res/messages.h"

namespace {

// Takes the value of an option given as "--name VALUE" or "--name=VALUE".
bool TakeValue(int argc, char** argv, int& i, const char* name, std::optional<std::string>& value,
               std::string& error)
{
    const std::size_t length = std::strlen(name);
    const char* arg = argv[i];
    if (std::strncmp(arg, name, length) != 0)
        return false;
    if (arg[length] == '=') {
        value = std::string(arg + length + 1);
    } else if (arg[length] == '\0') {
        if (i + 1 >= argc) {
            error = std::string(name) + " needs a value";
            value = std::string();
            return true;
        }
        value = std::string(argv[++i]);
    } else {
        return false;
    }
    return true;
}

// A dropped path is absolute; the file itself is not resolved through links.
std::string AbsolutePage(const std::string& page)
{
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(page, ec);
    if (ec)
        return page;
    return absolute.lexically_normal().string();
}

void ListFaces(std::FILE* stream, const std::vector<std::string>& faces)
{
    for (const std::string& face : faces)
        std::fprintf(stream, "%s\n", face.c_str());
}

}  // namespace

const char* UsageText()
{
    return "Usage: sylpic [OPTIONS] [PAGE...]\n"
           "Draws the [[ ]] blocks of Korean text in HTML pages as images in hanimg/ beside\n"
           "each page and writes the page with <img> tags in their place. A page NAME.EXT\n"
           "is first kept as its source page sp_NAME.EXT; later runs regenerate NAME.EXT\n"
           "from sp_NAME.EXT whichever of the two is given. Without PAGE, opens the dialog.\n"
           "\n"
           "Options (they override the settings in ./sylpic.ini, which is never written):\n"
           "  --font NAME       the first Hangul face, in sorted order, whose name begins\n"
           "                    with NAME, ignoring case (see --list-fonts)\n"
           "  --size TEXT       font size in points, used as typed (default 12)\n"
           "  --format FORMAT   GIF, PNG or XBM, or the beginning of one, ignoring case\n"
           "  --transparent     transparent image background (the default)\n"
           "  --opaque          background in the page's colour\n"
           "  --delete-errors   first delete the error images (_err_*) of the first page\n"
           "  --keep-errors     keep them (the default)\n"
           "  --dpi N           vertical resolution of the drawing surface (default 96)\n"
           "  --quiet           no lines about the blocks on standard error\n"
           "  --list-fonts      list the Hangul faces, sorted, one a line\n"
           "  --help            show this text\n"
           "  --version         show the version\n"
           "\n"
           "Each page's log line goes to standard output, message boxes to standard error.\n"
           "For each block with errors, a line on standard error says where it is and what\n"
           "failed first, for example\n"
           "  /site/sp_lesson.htm:12:5: error: [[hangugeo]]: \"hangugeo\" is not a syllable\n"
           "(page, line and column of the \"[[\"); \"warning:\" lines tell what was read\n"
           "otherwise than likely meant: \"&#\" or \"&$\" without a whole code form, \"[[\"\n"
           "inside a block, a block over 5000 bytes. --quiet leaves them out.\n"
           "Exit status: 0 every page converted cleanly; 1 some page had block errors;\n"
           "2 the run stopped (a refused page, a file that cannot be opened or created,\n"
           "a font failure) or the command line is wrong.\n";
}

bool ParseCommandLine(int argc, char** argv, CommandLine& line, std::string& error)
{
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (optionsEnded || arg[0] != '-' || std::strcmp(arg, "-") == 0) {
            line.pages.emplace_back(arg);
            continue;
        }
        std::optional<std::string> dpi;
        if (std::strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if (std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0) {
            line.help = true;
        } else if (std::strcmp(arg, "--version") == 0) {
            line.version = true;
        } else if (std::strcmp(arg, "--quiet") == 0) {
            line.quiet = true;
        } else if (std::strcmp(arg, "--list-fonts") == 0) {
            line.listFonts = true;
        } else if (std::strcmp(arg, "--transparent") == 0) {
            line.transparent = true;
        } else if (std::strcmp(arg, "--opaque") == 0) {
            line.transparent = false;
        } else if (std::strcmp(arg, "--delete-errors") == 0) {
            line.deleteErrors = true;
        } else if (std::strcmp(arg, "--keep-errors") == 0) {
            line.deleteErrors = false;
        } else if (TakeValue(argc, argv, i, "--font", line.font, error) ||
                   TakeValue(argc, argv, i, "--size", line.size, error) ||
                   TakeValue(argc, argv, i, "--format", line.format, error)) {
            if (!error.empty())
                return false;
        } else if (TakeValue(argc, argv, i, "--dpi", dpi, error)) {
            if (!error.empty())
                return false;
            char* end = nullptr;
            const long value = std::strtol(dpi->c_str(), &end, 10);
            if (dpi->empty() || *end != '\0' || value < 1 || value > 10000) {
                error = "--dpi needs a whole number from 1 to 10000";
                return false;
            }
            line.dpi = static_cast<int>(value);
        } else {
            error = std::string("unknown option ") + arg;
            return false;
        }
    }
    return true;
}

int RunConversion(const CommandLine& line)
{
    if (!IsCodePage949Available()) {
        std::fprintf(stderr, "%s\n", LoadMessage(IDS_NO_KOREAN));
        return kExitStopped;
    }
    const std::vector<std::string> faces = ListHangulFaces();
    if (faces.empty()) {
        std::fprintf(stderr, "%s\n", LoadMessage(IDS_NO_HANGUL_FONT));
        return kExitStopped;
    }

    ConsoleUi ui;
    CMainDlg dlg(&ui);
    dlg.m_fontList = faces;
    dlg.m_nFontCount = static_cast<int>(faces.size());

    // The settings file as start-up reads it, settled as the dialog settles it.
    ProfileFile profile(kSettingsFile);
    profile.Load();
    ReadSettings(profile, dlg);
    SettleDialogSelections(dlg, faces);

    if (line.font) {
        const int index = FindItemWithPrefix(faces, *line.font);
        if (index < 0) {
            std::fprintf(stderr, "sylpic: no Hangul font begins with \"%s\". The Hangul fonts are:\n",
                         line.font->c_str());
            ListFaces(stderr, faces);
            return kExitStopped;
        }
        dlg.m_strFontName = faces[static_cast<std::size_t>(index)];
    }
    if (line.size)
        dlg.m_strFontSize = *line.size;
    if (line.format) {
        const int index = FindItemWithPrefix(ImageFormatItems(), *line.format);
        if (index < 0 || line.format->empty()) {
            std::fprintf(stderr, "sylpic: unknown image format \"%s\" (GIF, PNG or XBM)\n", line.format->c_str());
            return kExitStopped;
        }
        dlg.m_strImageFormat = ImageFormatItems()[static_cast<std::size_t>(index)];
    }
    if (line.transparent)
        dlg.m_bTransparent = *line.transparent ? 1 : 0;
    if (line.deleteErrors)
        dlg.m_bDeleteErrorFiles = *line.deleteErrors ? 1 : 0;
    dlg.m_nScreenDpi = line.dpi;
    ConsoleDiagnostics diagnostics;
    if (!line.quiet)
        dlg.m_pDiagnostics = &diagnostics;

    std::vector<std::string> paths;
    for (const std::string& page : line.pages)
        paths.push_back(AbsolutePage(page));
    dlg.OnDropFiles(paths);

    switch (dlg.m_lastOutcome) {
    case RunOutcome::kAllClean: return kExitClean;
    case RunOutcome::kBlockErrors: return kExitBlockErrors;
    case RunOutcome::kStopped: break;
    }
    return kExitStopped;
}
