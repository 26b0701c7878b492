// Reading the command line's arguments into a CommandLine.
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "app/cli/command_line.h"
#include "convert/page_encoding.h"
#include "imaging/page_colours.h"

namespace sylpic {

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
    {"--quiet", [](CommandLine& line) { line.quiet = true; }},
    {"--list-fonts", [](CommandLine& line) { line.listFonts = true; }},
    {"--transparent", [](CommandLine& line) { line.transparent = true; }},
    {"--opaque", [](CommandLine& line) { line.transparent = false; }},
    {"--delete-errors", [](CommandLine& line) { line.deleteErrors = true; }},
    {"--keep-errors", [](CommandLine& line) { line.deleteErrors = false; }},
    {"--alt", [](CommandLine& line) { line.altText = true; }},
    {"--dimensions", [](CommandLine& line) { line.dimensions = true; }},
    {"--recursive", [](CommandLine& line) { line.recursive = true; }},
    {"-r", [](CommandLine& line) { line.recursive = true; }},
    {"--hidpi", [](CommandLine& line) { line.hidpi = true; }},
    {"--real-text", [](CommandLine& line) { line.realText = true; }},
    {"--images", [](CommandLine& line) { line.realText = false; }},
};

// The options that take a value, as "--name VALUE" or "--name=VALUE".
constexpr const char* kValueOptions[] = {"--font",        "--size",          "--format", "--dpi", "--encoding",
                                         "--text-colour", "--background-colour"};

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
    if (value.empty()) {
        error = name + " needs a value";
        return false;
    }
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
    } else if (name == "--encoding") {
        const std::optional<PageEncodingChoice> choice = ParsePageEncodingChoice(value);
        if (!choice) {
            error = "--encoding \"" + value + "\": the encoding is auto, utf-8 or cp932";
            return false;
        }
        line.encoding = *choice == PageEncodingChoice::kUtf8    ? "UTF-8"
                        : *choice == PageEncodingChoice::kCp932 ? "CP932"
                                                                : "AUTO";
    } else if (name == "--text-colour" || name == "--background-colour") {
        // Read as a body tag's value is; one that the tag would pass over is refused.
        std::array<unsigned char, 3> rgb{};
        if (ReadColourValue(value.c_str(), rgb.data()) == 0) {
            error = name + " \"" + value + "\": not a colour (a colour name such as navy, #rrggbb or #rgb)";
            return false;
        }
        (name == "--text-colour" ? line.textColour : line.backgroundColour) = rgb;
    } else {
        char* end = nullptr;
        const long dpi = std::strtol(value.c_str(), &end, 10);
        if (*end != '\0' || dpi < 1 || dpi > 10000) {
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

// The first option given that only images use, for a run in real text;
// null when there is none.
const char* ImageOnlyOptionGiven(const CommandLine& line)
{
    if (line.altText)
        return "--alt";
    if (line.dimensions)
        return "--dimensions";
    if (line.hidpi)
        return "--hidpi";
    if (line.format)
        return "--format";
    if (line.size)
        return "--size";
    if (line.dpi)
        return "--dpi";
    if (line.transparent)
        return *line.transparent ? "--transparent" : "--opaque";
    if (line.textColour)
        return "--text-colour";
    if (line.backgroundColour)
        return "--background-colour";
    return nullptr;
}

}  // namespace

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
            error = std::string("unknown option '") + arg + "'";
            return false;
        }
    }
    if (line.realText.value_or(false)) {
        if (const char* option = ImageOnlyOptionGiven(line)) {
            error = std::string("--real-text writes no images: ") + option + " cannot go with it";
            return false;
        }
    }
    return true;
}

}  // namespace sylpic
