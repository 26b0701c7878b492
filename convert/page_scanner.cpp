// The page scanner: copies a source page to its output page byte by byte,
// reads the body tag's colours on the way, and replaces every [[ ]] block by
// the <img> tag of its image.
#include <strings.h>

#include <cstdio>
#include <cstring>

#include "app/main_dlg.h"
#include "convert/image_name.h"
#include "convert/image_reuse.h"
#include "convert/path_parts.h"
#include "convert/staged_file.h"
#include "hangul/block_buffers.h"
#include "hangul/block_parser.h"
#include "hangul/code_page.h"
#include "res/messages.h"

namespace {

// Tag text and name directive text: 256 bytes and a terminating zero each.
constexpr int kMaxTagText = 256;
char s_tagText[kMaxTagText + 1];
int s_tagCount;
char s_directiveText[kMaxTagText + 1];
int s_directiveCount;

constexpr int kResultFatal = -1;

bool IsNameCharacter(unsigned char c)
{
    return c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

struct FormatInfo {
    int format;
    const char* extension;
};

FormatInfo ImageFormatOf(const std::string& setting)
{
    if (setting == "XBM")
        return {kFormatXbm, "xbm"};
    if (setting == "PNG")
        return {kFormatPng, "png"};
    return {kFormatGif, "gif"};
}

}  // namespace

// Turns the name directive text (what stood between the backquotes) into the
// image base name: "n=" and then letters, digits and underscores, up to the
// first space. Any other directive empties the name.
void ApplyNameDirective()
{
    s_directiveText[s_directiveCount] = '\0';
    int length = 0;
    if (s_directiveCount >= 2 && strncasecmp(s_directiveText, "n=", 2) == 0) {
        for (int i = 2; i < s_directiveCount; ++i) {
            const unsigned char c = static_cast<unsigned char>(s_directiveText[i]);
            if (c == ' ')
                break;
            if (IsNameCharacter(c))
                g_szImageBaseName[length++] = static_cast<char>(c);
        }
    }
    g_szImageBaseName[length] = '\0';
}

namespace {

// One block end (at "]]"), as a small object so that the page state it needs
// is at hand. Returns false after a fatal error, whose message is logged.
class BlockPipeline {
public:
    BlockPipeline(CMainDlg& dlg, FILE* output, FormatInfo format, const DeviceContext& dc)
        : dlg_(dlg), output_(output), format_(format), dc_(dc) {}

    bool Run(int& errorTotal);

private:
    bool WriteImage(const char* imagePath, const char* fileName, const char* key);
    void WriteImageTag(const char* fileName);
    bool Fail(int message);

    CMainDlg& dlg_;
    FILE* output_;
    FormatInfo format_;
    const DeviceContext& dc_;
};

bool BlockPipeline::Fail(int message)
{
    dlg_.LogMessage(message, true, true);
    return false;
}

void BlockPipeline::WriteImageTag(const char* fileName)
{
    // <img src="./hanimg/<file>">, nothing else, no line break.
    std::fputs("<img src=\"./hanimg/", output_);
    std::fputs(fileName, output_);
    std::fputs("\">", output_);
    ++dlg_.m_nImageCount;
}

bool BlockPipeline::WriteImage(const char* imagePath, const char* fileName, const char* key)
{
    // A short image could hold a whole key and be reused for ever, so a
    // failed write leaves nothing. A name chosen as free is created as it is
    // and removed on failure; a name that is taken (a fixed name) gets a
    // staged file that replaces it only when complete, so its last good
    // image survives a failed rewrite.
    StagedFile image;
    const bool opened = (!g_bFixedName && image.OpenNew(imagePath)) || image.Open(imagePath, ".sylpic-image-");
    if (!opened) {
        dlg_.FreeImageBits();
        return Fail(IDS_CANNOT_CREATE);
    }

    int written;
    if (format_.format == kFormatXbm) {
        // The XBM symbol is the file name, extension included, cut to 8.
        char xbmName[9];
        std::snprintf(xbmName, sizeof xbmName, "%.8s", fileName);
        written = dlg_.WriteXbm(image.file(), xbmName);
    } else if (format_.format == kFormatPng) {
        written = dlg_.WritePng(image.file(), key, dlg_.m_colours);
    } else {
        written = dlg_.WriteGif(image.file(), key, dlg_.m_colours);
    }
    dlg_.FreeImageBits();
    if (written != 0 || !image.Commit()) {
        image.Discard();
        return Fail(IDS_CANNOT_CREATE);
    }
    ++dlg_.m_nCreatedCount;
    return true;
}

bool BlockPipeline::Run(int& errorTotal)
{
    // The name was emptied at "[[", so a name now came from a directive.
    g_bFixedName = g_szImageBaseName[0] != '\0';
    g_glyphString.length = 0;

    const int blockErrors = ParseBlock();
    errorTotal += blockErrors;
    g_blockBytes.count = 0;

    if (g_glyphString.length == 0)
        return true;  // nothing to draw: the block vanishes from the page

    if (g_szImageBaseName[0] == '\0') {
        std::strcpy(g_szImageBaseName, "_");
        g_bFixedName = false;
    }
    if (IsReservedName(g_szImageBaseName))
        std::strcat(g_szImageBaseName, "_");

    // Terminate the glyph string; in Unicode mode the length then counts the
    // first of the two zero bytes, so the key ends in "00".
    g_glyphString.bytes[g_glyphString.length] = 0;
    if (g_bUnicodeMode) {
        ++g_glyphString.length;
        g_glyphString.bytes[g_glyphString.length] = 0;
    }

    char imagePath[kMaxPath] = "";
    char key[256] = "";
    if (format_.format != kFormatXbm) {
        const int keyLength = dlg_.BuildImageKey(key);
        if (!g_bFixedName && keyLength != 0 && blockErrors == 0)
            FindReusableImage(dlg_.m_szImageDir, g_szImageBaseName, key, keyLength, dlg_.m_colours,
                              imagePath, format_.format);
        if (imagePath[0] != '\0') {
            char fileName[kMaxPath];
            // The found file's name without folder and extension, a point
            // and the current extension.
            const char* name = GetPathPart(imagePath, kPathName);
            const std::size_t nameLength = std::strlen(name);
            std::memcpy(fileName, name, nameLength);
            fileName[nameLength] = '.';
            std::strcpy(fileName + nameLength + 1, format_.extension);
            WriteImageTag(fileName);
            return true;
        }
    }

    if (dlg_.RenderGlyphs(&dc_) == 0)
        return Fail(IDS_FONT_FAILED);
    if (!dlg_.m_pImageBits)
        return false;  // message 106 is logged; there is nothing to write

    // The first free name: name.gif, name1.gif, name2.gif, ... A fixed name
    // replaces its file. A path that does not fit cannot be created.
    char fileName[kMaxPath];
    std::snprintf(fileName, sizeof fileName, "%s.%s", g_szImageBaseName, format_.extension);
    for (int n = 1;; ++n) {
        const int length = std::snprintf(imagePath, sizeof imagePath, "%s%s", dlg_.m_szImageDir, fileName);
        if (length < 0 || length >= kMaxPath)
            return Fail(IDS_CANNOT_CREATE);
        if (g_bFixedName || !ImageFolderHas(dlg_.m_szImageDir, fileName))
            break;
        std::snprintf(fileName, sizeof fileName, "%s%d.%s", g_szImageBaseName, n, format_.extension);
    }

    if (!WriteImage(imagePath, fileName, key))
        return false;
    NoteImageWritten(dlg_.m_szImageDir, fileName);
    WriteImageTag(fileName);
    return true;
}

}  // namespace

int CMainDlg::ConvertPage(FILE* source, FILE* output)
{
    m_nImageCount = 0;
    m_nCreatedCount = 0;
    ResetColourPair(m_colours);
    g_bUnicodeMode = m_strFontName == "New Gulim";
    const FormatInfo format = ImageFormatOf(m_strImageFormat);
    const DeviceContext dc{m_nScreenDpi};

    g_blockBytes.count = 0;
    s_tagCount = 0;
    s_directiveCount = 0;
    g_szImageBaseName[0] = '\0';
    BeginImageFolder(m_szImageDir);

    BlockPipeline pipeline(*this, output, format, dc);
    bool inBlock = false;
    bool inDirective = false;
    bool inTag = false;
    int errorTotal = 0;
    bool fatal = false;

    for (;;) {
        int b = getc_unlocked(source);
        if (b == EOF)
            break;

        // A double-byte pair is copied or collected whole, so its trail byte
        // never counts as '[', ']' or a backquote.
        if (IsLeadByte(static_cast<unsigned char>(b))) {
            const int t = getc_unlocked(source);
            if (t == EOF) {
                putc_unlocked(b, output);
                break;
            }
            if (IsTrailByte(static_cast<unsigned char>(t))) {
                if (inBlock) {
                    AddBlockByte(static_cast<unsigned char>(b));
                    AddBlockByte(static_cast<unsigned char>(t));
                } else {
                    putc_unlocked(b, output);
                    putc_unlocked(t, output);
                }
                continue;
            }
            putc_unlocked(b, output);  // a lone lead byte goes out, even in a block
            b = t;
        }

        if (!inBlock) {
            if (b == '[') {
                const int b2 = getc_unlocked(source);
                if (b2 == '[') {
                    inBlock = true;
                    g_szImageBaseName[0] = '\0';
                    const int b3 = getc_unlocked(source);
                    if (b3 == '`') {
                        inDirective = true;
                        s_directiveCount = 0;
                    } else if (b3 != EOF) {
                        std::ungetc(b3, source);
                    }
                    continue;
                }
                if (b2 != EOF)
                    std::ungetc(b2, source);
            }
            if (inTag) {
                if (b == '>') {
                    s_tagText[s_tagCount] = '\0';
                    if (s_tagCount >= 5 && strncasecmp(s_tagText, "body ", 5) == 0)
                        ReadBodyColours(s_tagText + 5, m_colours);
                    inTag = false;
                    s_tagCount = 0;
                    putc_unlocked('>', output);
                    continue;
                }
                if (s_tagCount < kMaxTagText)
                    s_tagText[s_tagCount++] = static_cast<char>(b);
            }
            if (b == '<')
                inTag = true;
            putc_unlocked(b, output);
            continue;
        }

        // Inside a block.
        if (b == ']') {
            const int b2 = getc_unlocked(source);
            if (b2 == ']') {
                inBlock = false;
                inDirective = false;
                if (!pipeline.Run(errorTotal)) {
                    fatal = true;
                    break;
                }
                continue;
            }
            if (b2 != EOF)
                std::ungetc(b2, source);
            AddBlockByte(']');
        } else if (inDirective) {
            if (b == '`') {
                ApplyNameDirective();
                inDirective = false;
            } else if (s_directiveCount < kMaxTagText) {
                s_directiveText[s_directiveCount++] = static_cast<char>(b);
            }
        } else {
            AddBlockByte(static_cast<unsigned char>(b));
        }
    }

    FreeImageBits();
    EndImageFolder();
    if (fatal)
        return kResultFatal;
    // A block still open at the end of the page is lost; it counts as an
    // error so that the page is not reported as clean.
    if (inBlock) {
        g_blockBytes.count = 0;
        ++errorTotal;
    }
    return errorTotal;
}
