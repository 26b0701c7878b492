#include "app/cli/command_line.h"

#include <algorithm>
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

// The options without a value, and what each sets.
struct Flag {
    const char* name;
    void (*set)(CommandLine& line);
};
constexpr Flag kFlags[] = {
    {"--help", [](CommandLine& line) { line.help = true; }},
    {"-h", [](CommandLine& line) { line.help = true; }},
    {"--version", [](CommandLine& line) { line.version = true; }},
    {"--list-fonts", [](CommandLine& line) { line.listFonts = true; }},
    {"--transparent", [](CommandLine& line) { line.transparent = true; }},
    {"--opaque", [](CommandLine& line) { line.transparent = false; }},
    {"--delete-errors", [](CommandLine& line) { line.deleteErrors = true; }},
    {"--keep-errors", [](CommandLine& line) { line.deleteErrors = false; }},
};

// The options that take a value, as "--name VALUE" or "--name=VALUE".
constexpr const char* kValueOptions[] = {"--font", "--size", "--format", "--dpi"};

const Flag* FindFlag(const char* arg)
{
    for (const Flag& flag : kFlags)
        if (std::strcmp(arg, flag.name) == 0)
            return &flag;
    return nullptr;
}

// The value option that `arg` names, with or without "=VALUE"; null for none.
const char* FindValueOption(const char* arg)
{
    for (const char* option : kValueOptions) {
        const std::size_t length = std::strlen(option);
        if (std::strncmp(arg, option, length) == 0 && (arg[length] == '\0' || arg[length] == '='))
            return option;
    }
    return nullptr;
}

// Whether `arg`, found where a value is due, is an option instead: a value
// left out, not a font or page that happens to begin with "-".
bool IsOption(const char* arg)
{
    return std::strcmp(arg, "--") == 0 || FindFlag(arg) != nullptr || FindValueOption(arg) != nullptr;
}

// The size text is kept as typed, since it is part of each image's key, but
// the drawing reads only its leading digits and clamps them to 5..100 points.
// A text that would be clamped, or read as no number at all, is refused.
bool IsSizeText(const std::string& text)
{
    if (text.empty() || text[0] < '0' || text[0] > '9')
        return false;
    int points = 0;
    for (std::size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        points = std::min(points * 10 + (text[i] - '0'), 1000);  // any run of digits stays small
    return points >= 5 && points <= 100;
}

// Sets what the value option `name` stands for; false with `error` set when
// the value is wrong.
bool SetValue(const std::string& name, const std::string& value, bool separate, CommandLine& line,
              std::string& error)
{
    if (name == "--font") {
        line.font = value;
        line.fontTookNextArgument = separate;
    } else if (name == "--size") {
        if (!IsSizeText(value)) {
            error = "--size \"" + value +
                    "\": the size must begin with a digit 0-9, and its leading digits must make a number "
                    "from 5 to 100 (12, 12pt and 12.0 are valid)";
            return false;
        }
        line.size = value;
    } else if (name == "--format") {
        line.format = value;
    } else {
        char* end = nullptr;
        const long dpi = std::strtol(value.c_str(), &end, 10);
        if (value.empty() || *end != '\0' || dpi < 1 || dpi > 10000) {
            error = "--dpi needs a whole number from 1 to 10000";
            return false;
        }
        line.dpi = static_cast<int>(dpi);
    }
    return true;
}

// Reads the value option argv[i] names, and its value (argv[i + 1] when it
// is not given with "=").
bool TakeValueOption(int argc, char** argv, int& i, const char* name, CommandLine& line, std::string& error)
{
    const char* arg = argv[i];
    const std::size_t length = std::strlen(name);
    if (arg[length] == '=')
        return SetValue(name, arg + length + 1, false, line, error);
    if (i + 1 >= argc) {
        error = std::string(name) + " needs a value";
        return false;
    }
    if (IsOption(argv[i + 1])) {
        error = std::string(name) + " needs a value, but the option " + argv[i + 1] + " follows it";
        return false;
    }
    ++i;
    return SetValue(name, argv[i], true, line, error);
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
           "each page and writes the page with <img> tags in their place. The first time a\n"
           "page NAME.EXT is given, it is renamed to its source page sp_NAME.EXT and\n"
           "NAME.EXT is generated from it. From then on edit and give sp_NAME.EXT: giving\n"
           "NAME.EXT while sp_NAME.EXT exists is refused. Without PAGE, opens the dialog.\n"
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
           "  --keep-errors     keep them (the default)\n"
           "  --dpi N           vertical resolution of the drawing surface (default 96)\n"
           "  --list-fonts      list the Hangul faces, sorted, one a line\n"
           "  --help            show this text\n"
           "  --version         show the version\n"
           "\n"
           "Each page's log line goes to standard output, message boxes to standard error.\n"
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
        } else if (std::strcmp(arg, "--") == 0) {
            optionsEnded = true;
        } else if (const Flag* flag = FindFlag(arg)) {
            flag->set(line);
        } else if (const char* option = FindValueOption(arg)) {
            if (!TakeValueOption(argc, argv, i, option, line, error))
                return false;
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
    dlg.m_nScreenDpi = line.dpi.value_or(96);

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
