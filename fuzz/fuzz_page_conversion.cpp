// The page conversion as a whole, on arbitrary page bytes.
//
// Input: two settings bytes, then the page. Bits 0-1 of the first settings
// byte choose the format (GIF, PNG, XBM, GIF), bit 2 transparency, bit 3
// whether the page is dropped for the first time (as NAME.htm, renamed to
// its source page) or as its source page sp_NAME.htm, bit 4 the size 12
// instead of 8 (small images keep the fuzzer fast), bit 5 alt text, bit 6
// width, height and baseline in the tags, bit 7 pages read as UTF-8
// whatever they declare (else each page's own byte order mark or
// declaration decides). Bit 0 of the second byte (bit 8 of the settings)
// asks for 2x images. Pages are cut to 4 KB so that drawing keeps the fuzzer fast.
//
// Each input is converted twice from an empty folder: once by the whole run
// (the log line), once by the page scanner alone. Properties:
// - the source page is never changed, and nothing but the source page, the
//   output page and the image folder is left in the page's folder;
// - the log line is the output page's path and the message of the result,
//   with the counters, and the scanner alone reaches the same result, the
//   same counters and the same output;
// - a page without "[[" comes out byte for byte;
// - every <img> tag names a file in the image folder that exists and decodes
//   in the chosen format, and every file there decodes;
// - each tag has exactly the attributes asked for, in their order; its alt
//   text never ends the attribute early and unescapes to the text drawn, as
//   the image's key spells it (all ASCII in a code page 932 page); its width
//   and height are those the image's decoder finds;
// - with 2x images, each GIF or PNG image has one of its name in hanimg/2x/
//   (unless the run stopped) and each there belongs to an image, decodes
//   and is exactly twice its image's width and height; each tag offers the
//   2x image of its source; an XBM image or a run without them has none;
// - after a fatal error the output page is not written at all;
// - the scanner alone reports its blocks' diagnostics (the run does not, so
//   diagnostics change nothing else): each places a "[[" of the page, its
//   line is one line of UTF-8, and there is one error line for each block
//   with errors.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "app/main_dlg.h"
#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "convert/page_encoding.h"
#include "fuzz/fuzz_support.h"
#include "hangul/iconv_handle.h"
#include "hangul/utf8_text.h"
#include "res/messages.h"

using namespace sylpic;

namespace {

constexpr std::size_t kMaxPage = 4096;
const char* const kFormats[] = {"GIF", "PNG", "XBM", "GIF"};
const char* const kExtensions[] = {"gif", "png", "xbm", "gif"};

class LogUi : public UserInterface {
public:
    void LogAppended(std::string_view text) override { log += text; }
    void LogReplaced(std::string_view text) override { log = text; }
    void ShowMessageBox(std::string_view text) override { boxes += std::string(text) + "\n"; }
    std::string log;
    std::string boxes;
};

bool IsUtf8(const std::string& text)
{
    IconvHandle decoder("UTF-16LE", "UTF-8");
    std::vector<unsigned char> units(2 * text.size() + 8);
    return decoder.Convert(reinterpret_cast<const unsigned char*>(text.data()), text.size(), units.data(),
                           units.size()) >= 0;
}

class CheckedDiagnostics : public BlockDiagnostics {
public:
    explicit CheckedDiagnostics(const std::string& page) : page_(page) {}
    void Report(const BlockDiagnostic& d) override
    {
        const std::string line = FormatBlockDiagnostic(d);
        // A warning about the page as a whole stands at its start, at no "[[".
        FUZZ_CHECK(d.problem == BlockProblem::kUndeclaredUtf8 || PlacesOpening(d.position), "not at a \"[[\": " + line);
        FUZZ_CHECK(d.problem != BlockProblem::kNestedOpening || PlacesOpening(d.at), "not at a \"[[\": " + line);
        FUZZ_CHECK(line.find('\n') == std::string::npos && IsUtf8(line), "not one line of UTF-8: " + line);
        errors += d.severity == DiagnosticSeverity::kError;
    }
    int errors = 0;

private:
    bool PlacesOpening(PagePosition position) const
    {
        std::size_t lineStart = 0;
        for (long line = 1; line < position.line; ++line) {
            lineStart = page_.find('\n', lineStart);
            if (lineStart == std::string::npos)
                return false;
            ++lineStart;
        }
        // Line 1's columns count from after a byte order mark (every page
        // that has one is read as UTF-8 here).
        const bool marked = page_.compare(0, 3, "\xEF\xBB\xBF") == 0;
        const std::size_t shift = position.line == 1 && marked ? 3 : 0;
        const std::size_t at = lineStart + shift + static_cast<std::size_t>(position.column - 1);
        return position.column >= 1 && at + 2 <= page_.size() && page_.compare(at, 2, "[[") == 0 &&
               page_.find('\n', lineStart) > at;
    }
    const std::string& page_;
};

// The settings bit of 2x images.
constexpr unsigned kDoubledBit = 256;

void Configure(CMainDlg& dlg, unsigned settings)
{
    dlg.m_strFontName = "NanumGothic";
    dlg.m_strFontSize = (settings & 16) ? "12" : "8";
    dlg.m_strImageFormat = kFormats[settings & 3];
    dlg.m_bTransparent = (settings & 4) ? 1 : 0;
    dlg.m_bDeleteErrorFiles = 0;
    dlg.m_bAltText = (settings & 32) ? 1 : 0;
    dlg.m_bDimensions = (settings & 64) ? 1 : 0;
    dlg.m_strPageEncoding = (settings & 128) ? "UTF-8" : "AUTO";
    dlg.m_bHiDpi = (settings & kDoubledBit) ? 1 : 0;
}


// 2x images are made for GIF and PNG images when asked for.
bool WithDoubled(unsigned settings)
{
    return (settings & kDoubledBit) != 0 && (settings & 3) != 2;
}

const char* const kDoubledFolder = "2x";

bool Decodes(const std::string& path, unsigned settings, DecodedImage& image)
{
    switch (settings & 3) {
    case 1: return DecodePng(path, image);
    case 2: return DecodeXbm(path, image);
    default: return DecodeGif(path, image);
    }
}

std::size_t CountOf(const std::string& text, const std::string& what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// The images of a folder by name, as their decoder reads them.
using DecodedImages = std::map<std::string, DecodedImage>;

// Checks the 2x images of the image folder: each is named as an image of the
// folder (as decoded in `decoded`), decodes, and is exactly twice its
// image's size; when the run went through, every image has one.
void CheckDoubledImages(const std::string& folder, const std::vector<std::string>& files,
                        DecodedImages& decoded, unsigned settings, bool stopped)
{
    const std::string doubledFolder = folder + kDoubledFolder + "/";
    const std::vector<std::string> doubled = ListFolder(doubledFolder);
    FUZZ_CHECK(stopped || doubled.size() == files.size(), folder + ": not every image has a 2x image");
    for (const std::string& name : doubled) {
        FUZZ_CHECK(name[0] != '.', doubledFolder + name + " left behind");
        FUZZ_CHECK(std::find(files.begin(), files.end(), name) != files.end(),
                   doubledFolder + name + " belongs to no image");
        const DecodedImage& size = decoded[name];
        DecodedImage twice;
        FUZZ_CHECK(Decodes(doubledFolder + name, settings, twice), doubledFolder + name + " does not decode");
        FUZZ_CHECK(twice.width == 2 * size.width && twice.height == 2 * size.height,
                   doubledFolder + name + " is " + std::to_string(twice.width) + "x" + std::to_string(twice.height) +
                       ", its image " + std::to_string(size.width) + "x" + std::to_string(size.height));
    }
}

// Checks the image folder: every file decodes (each is decoded once, the
// GIF decoder is slow on this program's uncompressed data), no temporary
// file is left, and the 2x images are there only when asked for and match
// their images. Returns the names of the images (not the 2x folder), and
// the images in `decoded`.
std::vector<std::string> CheckImageFolder(const std::string& folder, unsigned settings, int created, bool stopped,
                                          DecodedImages& decoded)
{
    std::vector<std::string> files = ListFolder(folder);
    const auto doubled = std::find(files.begin(), files.end(), kDoubledFolder);
    const bool hasDoubled = doubled != files.end();
    if (hasDoubled)
        files.erase(doubled);
    FUZZ_CHECK(!hasDoubled || WithDoubled(settings), folder + ": 2x images that were not asked for");
    FUZZ_CHECK(files.size() <= static_cast<std::size_t>(created), folder + ": more files than images created");
    FUZZ_CHECK(created == 0 || !files.empty(), folder + ": images created but none there");
    for (const std::string& name : files) {
        FUZZ_CHECK(name[0] != '.', folder + name + " left behind");
        FUZZ_CHECK(Decodes(folder + name, settings, decoded[name]), folder + name + " does not decode");
    }
    if (WithDoubled(settings))
        CheckDoubledImages(folder, files, decoded, settings, stopped);
    return files;
}

// The text that a key's glyph bytes stand for, read back through iconv from
// the key that the image's file holds: what was drawn, without the control
// characters that alt text leaves out. False when the image holds no key.
bool DrawnTextOfKey(const std::string& path, unsigned settings, std::u32string& drawn)
{
    char key[260];
    unsigned char colours[6];
    const int length = (settings & 3) == 1 ? ReadPngKey(path.c_str(), key, colours) : ReadGifKey(path.c_str(), key, colours);
    if (length == 0)
        return false;
    // "<font> <size> " and "^" when opaque, then two hexadecimal digits a byte.
    std::string hex(key, static_cast<std::size_t>(length));
    hex.erase(0, hex.find(' ', hex.find(' ') + 1) + 1);
    if (!hex.empty() && hex[0] == '^')
        hex.erase(0, 1);
    std::vector<unsigned char> glyphs;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        glyphs.push_back(static_cast<unsigned char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    static IconvHandle fromCp949("UTF-32LE", "CP949");
    std::vector<unsigned char> units(4 * glyphs.size() + 4);
    const int converted = fromCp949.Convert(glyphs.data(), glyphs.size(), units.data(), units.size());
    FUZZ_CHECK(converted >= 0, "the key of " + path + " holds no code page 949 text");
    drawn.clear();
    for (int i = 0; i + 4 <= converted; i += 4) {
        const char32_t c = units[i] | (units[i + 1] << 8) | (units[i + 2] << 16) | (static_cast<char32_t>(units[i + 3]) << 24);
        if (c >= 0x20 && c != 0x7F)
            drawn += c;
    }
    return true;
}

// The alt attribute's value as text: the four entities and decimal
// references undone, UTF-8 decoded. It must hold no '"', '<' or '>', and no
// '&' that begins none of those; a code page 932 page's is all ASCII.
std::u32string UnescapeAlt(const std::string& value, PageEncoding encoding)
{
    std::u32string text;
    const auto* bytes = reinterpret_cast<const unsigned char*>(value.data());
    for (std::size_t at = 0; at < value.size();) {
        const unsigned char b = bytes[at];
        FUZZ_CHECK(b != '"' && b != '<' && b != '>', "alt text " + value + " holds a raw " + std::string(1, b));
        FUZZ_CHECK(b < 0x80 || encoding == PageEncoding::kUtf8, "alt text of a code page 932 page is not ASCII: " + value);
        if (b == '&') {
            const std::size_t end = value.find(';', at);
            FUZZ_CHECK(end != std::string::npos, "a lone '&' in alt text " + value);
            const std::string entity = value.substr(at + 1, end - at - 1);
            if (entity == "amp" || entity == "lt" || entity == "gt" || entity == "quot") {
                text += entity == "amp" ? U'&' : entity == "lt" ? U'<' : entity == "gt" ? U'>' : U'"';
            } else {
                FUZZ_CHECK(entity.size() >= 2 && entity[0] == '#' &&
                               entity.find_first_not_of("0123456789", 1) == std::string::npos && entity.size() <= 8,
                           "an unknown reference &" + entity + "; in alt text");
                text += static_cast<char32_t>(std::stoul(entity.substr(1)));
            }
            at = end + 1;
            continue;
        }
        const Utf8Step step = DecodeUtf8Step(bytes, value.size(), at);
        FUZZ_CHECK(step.result == Utf8Result::kCharacter, "alt text " + value + " is no UTF-8");
        text += step.character;
        at += static_cast<std::size_t>(step.length);
    }
    return text;
}

// Checks the attributes after a tag's source, from `at` to its '>': those
// the settings ask for, in their order. Returns the tag's end.
std::size_t CheckTagAttributes(const std::string& output, std::size_t at, const std::string& imagePath,
                               const DecodedImage& image, unsigned settings, PageEncoding encoding, bool soleTag,
                               int& rowsBelow)
{
    auto take = [&](const std::string& name) {
        const std::string open = " " + name + "=\"";
        FUZZ_CHECK(output.compare(at, open.size(), open) == 0, "no " + name + " where it is due: " + output.substr(at, 40));
        const std::size_t start = at + open.size();
        const std::size_t end = output.find('"', start);
        FUZZ_CHECK(end != std::string::npos, "the " + name + " attribute is not closed");
        at = end + 1;
        return output.substr(start, end - start);
    };
    if (settings & 32) {
        const std::u32string alt = UnescapeAlt(take("alt"), encoding);
        std::u32string drawn;
        if (soleTag && (settings & 3) != 2 && DrawnTextOfKey(imagePath, settings, drawn))
            FUZZ_CHECK(alt == drawn, "the alt text is not the text drawn in " + imagePath);
    }
    if (settings & 64) {
        const std::string width = take("width");
        const std::string height = take("height");
        FUZZ_CHECK(!soleTag || (width == std::to_string(image.width) && height == std::to_string(image.height)),
                   "the tag's size is not that of " + imagePath);
        if (output.compare(at, 7, " style=") == 0) {
            const std::string style = take("style");
            FUZZ_CHECK(style.rfind("vertical-align:", 0) == 0 && style.size() > 17 &&
                           style.compare(style.size() - 2, 2, "px") == 0,
                       "style " + style);
            const int rows = -std::stoi(style.substr(15));
            FUZZ_CHECK(rows != 0 && (rowsBelow == 0 || rows == rowsBelow), "style " + style + " differs between tags");
            rowsBelow = rows;
        }
    }
    if (WithDoubled(settings)) {
        const std::string fileName = imagePath.substr(imagePath.rfind('/') + 1);
        FUZZ_CHECK(take("srcset") == "./hanimg/2x/" + fileName + " 2x", "the tag offers no 2x image of " + fileName);
    }
    FUZZ_CHECK(output.compare(at, 1, ">") == 0, "the tag goes on with " + output.substr(at, 40));
    return at + 1;
}

// Checks the <img> tags of an output page made from a page without '<':
// one per image counted, each naming a file of the image folder (which all
// decode) in the chosen format, with the attributes asked for.
void CheckImageTags(const std::string& output, const std::string& folder, const std::vector<std::string>& files,
                    const DecodedImages& decoded, unsigned settings, PageEncoding encoding, int imageCount)
{
    const std::string open = "<img src=\"./hanimg/";
    FUZZ_CHECK(CountOf(output, "<img") == static_cast<std::size_t>(imageCount),
               "tags in the page differ from the image count " + std::to_string(imageCount));
    int rowsBelow = 0;
    for (std::size_t at = output.find(open); at != std::string::npos; at = output.find(open, at)) {
        const std::size_t start = at + open.size();
        const std::size_t end = output.find('"', start);
        FUZZ_CHECK(end != std::string::npos, "an <img> tag is not closed");
        const std::string name = output.substr(start, end - start);
        FUZZ_CHECK(name.size() > 4 && name.compare(name.size() - 3, 3, kExtensions[settings & 3]) == 0,
                   "tag names " + name + " in another format");
        FUZZ_CHECK(std::find(files.begin(), files.end(), name) != files.end(), "tag names " + name +
                                                                                   ", which is not there");
        // A fixed name is rewritten by each block that names it, so a file
        // that several tags name may hold another block's image by now: only
        // a file that one tag names must hold that tag's text and size.
        const bool soleTag = CountOf(output, open + name + "\"") == 1;
        at = CheckTagAttributes(output, end + 1, folder + name, decoded.at(name), settings, encoding, soleTag,
                                rowsBelow);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2 || size > kMaxPage + 2)
        return -1;  // not added to the corpus
    static const ScratchFolder scratch("page");
    scratch.Empty();
    const unsigned settings = data[0] | (static_cast<unsigned>(data[1]) << 8);
    const std::string page(reinterpret_cast<const char*>(data + 2), size - 2);
    const bool firstDrop = (settings & 8) != 0;

    // The whole run, in folder a/.
    const std::string folderA = scratch / "a/";
    const std::string source = folderA + "sp_page.htm";
    const std::string output = folderA + "page.htm";
    mkdir(folderA.c_str(), 0777);
    WriteWholeFile(firstDrop ? output : source, page.data(), page.size());
    LogUi ui;
    CMainDlg dlg(&ui);
    Configure(dlg, settings);
    dlg.ConvertFiles({firstDrop ? output : source});

    // The page scanner alone, in folder b/ (a path of the same length, so
    // that the path limits act alike).
    const std::string folderB = scratch / "b/";
    mkdir(folderB.c_str(), 0777);
    mkdir((folderB + "hanimg").c_str(), 0777);
    LogUi uiB;
    CMainDlg alone(&uiB);
    Configure(alone, settings);
    CheckedDiagnostics diagnostics(page);
    alone.m_pDiagnostics = &diagnostics;
    std::snprintf(alone.m_szImageDir, kMaxPath, "%s%s", folderB.c_str(), "hanimg/");
    FILE* in = std::fopen(source.c_str(), "rb");
    FUZZ_CHECK(in != nullptr, "the source page is gone");
    FILE* out = std::fopen((folderB + "page.htm").c_str(), "wb");
    const int result = alone.ConvertPage(in, out);
    std::fclose(in);
    std::fclose(out);

    FUZZ_CHECK(ReadWholeFile(source) == page, "the source page changed");
    const std::vector<std::string> entries = ListFolder(folderA);
    for (const std::string& name : entries)
        FUZZ_CHECK(name == "sp_page.htm" || name == "page.htm" || name == "hanimg",
                   "the run left " + name + " in the page's folder");

    FUZZ_CHECK(dlg.m_nImageCount == alone.m_nImageCount && dlg.m_nCreatedCount == alone.m_nCreatedCount,
               "the run and the scanner count differently");
    DecodedImages decoded;
    const std::vector<std::string> images =
        CheckImageFolder(folderA + "hanimg/", settings, dlg.m_nCreatedCount, result < 0, decoded);
    FUZZ_CHECK(ListFolder(folderA + "hanimg/") == ListFolder(folderB + "hanimg/") &&
                   ListFolder(folderA + "hanimg/2x/") == ListFolder(folderB + "hanimg/2x/"),
               "the run and the scanner made different images");

    if (result < 0) {
        // A fatal error (an image path over the limit): the run logged the
        // scanner's message and wrote no output page.
        FUZZ_CHECK(ui.log == output + uiB.log, "fatal error logged as: " + ui.log);
        FUZZ_CHECK(ui.log.find(LoadMessage(IDS_CANNOT_CREATE)) != std::string::npos ||
                       ui.log.find(LoadMessage(IDS_FONT_FAILED)) != std::string::npos,
                   "fatal error without its message: " + ui.log);
        FUZZ_CHECK(access(output.c_str(), F_OK) != 0, "an output page was written after a fatal error");
        return 0;
    }

    const std::string expected =
        output + (result == 0 ? FormatPageDone(dlg.m_nImageCount, dlg.m_nCreatedCount)
                              : FormatPageErrors(dlg.m_nImageCount, dlg.m_nCreatedCount, result)) +
        "\r\n";
    FUZZ_CHECK(ui.log == expected, "log line " + ui.log + " instead of " + expected);
    FUZZ_CHECK(uiB.log.empty() && ui.boxes.empty(), "messages besides the log line: " + uiB.log + ui.boxes);
    FUZZ_CHECK(diagnostics.errors <= result && (diagnostics.errors > 0) == (result > 0),
               std::to_string(diagnostics.errors) + " error lines for " + std::to_string(result) + " errors");

    const std::string converted = ReadWholeFile(output);
    FUZZ_CHECK(converted == ReadWholeFile(folderB + "page.htm"), "the run and the scanner wrote different pages");
    if (page.find("[[") == std::string::npos)
        FUZZ_CHECK(converted == page, "a page without blocks was changed");
    // Tags are counted only where the page has no '<' of its own: a block
    // that vanishes could join "<i" and "mg" otherwise.
    if (page.find('<') == std::string::npos) {
        const PageEncoding encoding =
            (settings & 128) ? PageEncoding::kUtf8
                             : DetectPageEncoding(reinterpret_cast<const unsigned char*>(page.data()), page.size());
        CheckImageTags(converted, folderA + "hanimg/", images, decoded, settings, encoding, dlg.m_nImageCount);
    }
    return 0;
}
