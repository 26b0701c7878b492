#include "app/cli/command_line.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "app/cli/console_ui.h"
#include "app/main_dlg.h"
#include "app/profile.h"
#include "app/settings.h"
#include "convert/site_pages.h"
#include "hangul/code_page.h"
#include "imaging/font_engine.h"
#include "res/messages.h"

namespace sylpic {

namespace {

// A dropped path is absolute; the file itself is not resolved through links.
std::string AbsolutePage(const std::string& page)
{
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(page, ec);
    if (ec)
        return page;
    return absolute.lexically_normal().string();
}

// The source pages under the folders given with --recursive. Each page
// passed over and each folder that cannot be read is told on standard error,
// and the run goes on without it. False, after saying why, when a DIR is not
// a folder.
bool FindSourcePagesUnder(const std::vector<std::string>& dirs, std::vector<std::string>& pages)
{
    std::vector<std::string> folders;
    for (const std::string& dir : dirs) {
        // Links in the path of a given folder are resolved, so that a folder
        // given twice, or through a link, is read once and its pages have
        // one path each.
        std::error_code ec;
        const std::filesystem::path folder = std::filesystem::canonical(dir, ec);
        if (ec || !std::filesystem::is_directory(folder, ec)) {
            PrintUsageError("--recursive: \"" + dir + "\" is not a folder");
            return false;
        }
        folders.push_back(folder.string());
    }
    SitePages site = FindSitePages(folders);
    for (const std::string& page : site.shadowing) {
        const std::size_t nameStart = page.rfind('/') + 1;
        std::fprintf(stderr, "sylpic: skipped %s: its output page would overwrite the source page %s%s\n",
                     page.c_str(), page.substr(0, nameStart).c_str(), page.c_str() + nameStart + 3);
    }
    for (const SitePages::Unreadable& folder : site.unreadable)
        std::fprintf(stderr, "sylpic: cannot read the folder %s (%s): its pages are skipped\n",
                     folder.folder.c_str(), std::strerror(folder.error));
    if (site.pages.empty())
        std::fprintf(stderr, "sylpic: no source page (sp_*.htm or sp_*.html) was found\n");
    pages = std::move(site.pages);
    return true;
}

void ListFaces(std::FILE* stream, const std::vector<std::string>& faces)
{
    for (const std::string& face : faces)
        std::fprintf(stream, "%s\n", face.c_str());
}

}  // namespace

void PrintUsageError(std::string_view what)
{
    std::fprintf(stderr, "sylpic: %.*s\nTry 'sylpic --help' for more information.\n", static_cast<int>(what.size()),
                 what.data());
}

const char* UsageText()
{
    return "Usage: sylpic [OPTIONS] [PAGE...]\n"
           "       sylpic --recursive [OPTIONS] DIR...\n"
           "Draws the [[ ]] blocks of Korean text in HTML pages as images in hanimg/ beside\n"
           "each page and writes the page with <img> tags in their place. The first time a\n"
           "page NAME.EXT is given, it is kept as its source page sp_NAME.EXT (NAME.EXT\n"
           "stays until the page made from it replaces it). From then on edit and give\n"
           "sp_NAME.EXT: giving NAME.EXT while sp_NAME.EXT exists is refused. Without\n"
           "PAGE, opens the dialog.\n"
           "\n"
           "Options (they override the settings in ./sylpic.ini, which is never written):\n"
           "  --font NAME       the first Hangul face, in sorted order, whose name begins\n"
           "                    with NAME, ignoring case (see --list-fonts)\n"
           "  --size TEXT       font size in points (default 12): it begins with a digit\n"
           "                    and its leading digits make 5 to 100. The text is part\n"
           "                    of each image's key as typed: 12, 012 and 12pt differ\n"
           "  --format FORMAT   GIF, PNG or XBM, or the beginning of one, ignoring case\n"
           "  --transparent     transparent image background (the default)\n"
           "  --opaque          background in the page's colour\n"
           "  --delete-errors   first delete the error images (_err_*) of the first page\n"
           "                    (with -r: of each page folder, before its first page)\n"
           "  --keep-errors     keep them (the default)\n"
           "  --dpi N           vertical resolution of the drawing surface (default 96)\n"
           "  --encoding ENC    how source pages are read: auto (the default) reads a page\n"
           "                    as UTF-8 when it starts with a UTF-8 byte order mark or\n"
           "                    declares UTF-8 in its first 1024 bytes (<meta charset>),\n"
           "                    else as code page 932; utf-8 or cp932 reads every page so\n"
           "  --alt             give each <img> tag the text drawn as its alt text\n"
           "  --dimensions      give each <img> tag the image's width and height, and a\n"
           "                    style that sets the image's baseline on the line's\n"
           "  --hidpi           also draw each GIF or PNG image at twice the size into\n"
           "                    hanimg/2x/ and offer it to 2x screens with srcset (XBM\n"
           "                    images get none); the settings key HIDPI=1 does the same\n"
           "  --real-text       write each block as Hangul text instead of an image:\n"
           "                    <span class=\"sylpic\" lang=\"ko\">, shown in a web font made\n"
           "                    of exactly the page's characters, from the chosen face and\n"
           "                    the other weights of its family (hanimg/sylpic-HASH.woff2,\n"
           "                    hanimg/sylpic-HASH-W.woff2), named by one <style> element\n"
           "                    before </head>; the settings key REALTEXT=1 does the same.\n"
           "                    Cannot go with --alt, --dimensions, --hidpi, --format,\n"
           "                    --size, --dpi, --opaque, --transparent or a colour option\n"
           "  --images          images, even when the settings file says REALTEXT=1\n"
           "  --quiet           no lines about the blocks on standard error\n"
           "  --text-colour C   draw the text of every page in colour C, whatever the\n"
           "                    body tags' TEXT says: a colour name, #rrggbb or #rgb,\n"
           "                    read as the body tag's value is\n"
           "  --background-colour C\n"
           "                    the same for the background (the body tags' BGCOLOR)\n"
           "  -r, --recursive   every argument is a folder DIR: convert every source page\n"
           "                    (sp_*.htm, sp_*.html) under each, in byte order of their\n"
           "                    paths, as one run. Folders named hanimg and links are not\n"
           "                    entered; a page named sp_sp_* is skipped with a warning.\n"
           "                    On a terminal, standard error shows pages done of found\n"
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
           "inside a block, a block over 5000 bytes, a block past the 256 bytes of text\n"
           "an image holds (128 Korean characters). --quiet leaves them out.\n"
           "A failure that stops the run adds \"sylpic: PATH: REASON\" on standard error:\n"
           "the file that failed (the image, not the page) and the system's reason, or\n"
           "\"path longer than 259 bytes\".\n"
           "Exit status: 0 every page converted cleanly; 1 some page had block errors;\n"
           "2 the run stopped (a refused page, a file that cannot be opened or created,\n"
           "a path over 259 bytes, a font failure, a failed write to standard output or\n"
           "standard error) or the command line is wrong.\n";
}

int RunCommandLine(const CommandLine& line)
{
    std::vector<std::string> paths;
    if (line.recursive) {
        if (!FindSourcePagesUnder(line.pages, paths))
            return kExitStopped;
    } else {
        for (const std::string& page : line.pages)
            paths.push_back(AbsolutePage(page));
    }

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
            PrintUsageError("unknown image format \"" + *line.format + "\" (GIF, PNG or XBM)");
            return kExitStopped;
        }
        dlg.m_strImageFormat = ImageFormatItems()[static_cast<std::size_t>(index)];
    }
    if (line.transparent)
        dlg.m_bTransparent = *line.transparent ? 1 : 0;
    if (line.deleteErrors)
        dlg.m_bDeleteErrorFiles = *line.deleteErrors ? 1 : 0;
    dlg.m_nScreenDpi = line.dpi.value_or(96);
    if (line.encoding)
        dlg.m_strPageEncoding = *line.encoding;
    if (line.altText)
        dlg.m_bAltText = 1;
    if (line.dimensions)
        dlg.m_bDimensions = 1;
    if (line.hidpi)
        dlg.m_bHiDpi = 1;
    if (line.realText)
        dlg.m_bRealText = *line.realText ? 1 : 0;
    ConsoleDiagnostics diagnostics;
    if (!line.quiet)
        dlg.m_pDiagnostics = &diagnostics;
    if (line.textColour) {
        dlg.m_bTextColourSet = true;
        std::copy(line.textColour->begin(), line.textColour->end(), dlg.m_textColour);
    }
    if (line.backgroundColour) {
        dlg.m_bBackgroundColourSet = true;
        std::copy(line.backgroundColour->begin(), line.backgroundColour->end(), dlg.m_backgroundColour);
    }
    dlg.m_bDeleteErrorsPerFolder = line.recursive;
    if (line.recursive && paths.size() > 1 && isatty(STDERR_FILENO))
        ui.ShowProgressOf(static_cast<int>(paths.size()));

    dlg.OnDropFiles(paths);
    ui.Flush();

    return static_cast<int>(dlg.m_lastOutcome);
}

}  // namespace sylpic
