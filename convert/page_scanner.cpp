// The page scanner: copies a source page to its output page byte by byte,
// reads the body tag's colours on the way, and replaces every [[ ]] block by
// the <img> tag of its image.
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "convert/alt_text.h"
#include "convert/block_state.h"
#include "convert/block_watch.h"
#include "convert/doubled_image.h"
#include "convert/image_name.h"
#include "convert/image_reuse.h"
#include "convert/image_tag.h"
#include "convert/page_encoding.h"
#include "convert/page_job.h"
#include "convert/staged_file.h"
#include "convert/undeclared_utf8.h"
#include "hangul/ascii_text.h"
#include "hangul/block_buffers.h"
#include "hangul/block_parser.h"
#include "hangul/code_page.h"
#include "imaging/gif_writer.h"
#include "imaging/image_size.h"
#include "imaging/png_writer.h"
#include "imaging/rasterizer.h"
#include "imaging/xbm_writer.h"
#include "res/messages.h"

// Tag text and name directive text: 256 bytes and a terminating zero each.
constexpr int kMaxTagText = 256;

namespace {

constexpr int kResultFatal = -1;

bool IsNameCharacter(unsigned char c)
{
    return c == '_' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

// Turns the name directive text (what stood between the backquotes) into the
// image base name: "n=" and then letters, digits and underscores, up to the
// first space. Any other directive empties the name.
void ApplyNameDirective(const char* text, int count)
{
    int length = 0;
    if (count >= 2 && PrefixEqualsIgnoringCase(text, "n=", 2)) {
        for (int i = 2; i < count; ++i) {
            const unsigned char c = static_cast<unsigned char>(text[i]);
            if (c == ' ')
                break;
            if (IsNameCharacter(c))
                g_szImageBaseName[length++] = static_cast<char>(c);
        }
    }
    g_szImageBaseName[length] = '\0';
}

namespace {

// The two files of a page, with what has been read from and written to each
// since the page began, so that an open block can be taken back. The page's
// first bytes may have been read ahead to learn its encoding: they are read
// again from `ahead` before the source goes on.
struct PageStreams {
    FILE* source;
    FILE* output;
    const unsigned char* ahead = nullptr;
    int aheadCount = 0;
    long read = 0;
    long written = 0;
    int aheadAt = 0;
    bool lastFromAhead = false;
    // The line breaks counted so far, when blocks are placed for their
    // diagnostics.
    long lineBreaks = 0;
    long lineStart = 0;  // offset of the first byte after the last LF

    int Get()
    {
        lastFromAhead = aheadAt < aheadCount;
        if (lastFromAhead) [[unlikely]] {
            ++read;
            return ahead[aheadAt++];
        }
        const int b = getc_unlocked(source);
        read += b != EOF;
        return b;
    }
    // Gives back `b`, the byte the last Get returned.
    void Unget(int b)
    {
        if (lastFromAhead)
            --aheadAt;
        else
            std::ungetc(b, source);
        --read;
    }
    // Counts the byte just handled, if it is an LF.
    void CountLineBreak(int b)
    {
        if (b == '\n') [[unlikely]] {
            ++lineBreaks;
            lineStart = read;
        }
    }
    // The line and column of the byte at `offset`, on the current line.
    PagePosition PositionOf(long offset) const { return {lineBreaks + 1, offset - lineStart + 1}; }
    void Put(int b)
    {
        putc_unlocked(b, output);
        ++written;
    }
    void PutText(const char* text)
    {
        const std::size_t length = std::strlen(text);
        std::fwrite(text, 1, length, output);
        written += static_cast<long>(length);
    }
};

// One block end (at "]]"): the image of the block, found again or drawn and
// written, and its tag. Returns false after a fatal error, whose message is
// logged. One object serves a whole page, so its buffers are reused.
class BlockPipeline {
public:
    BlockPipeline(PageJob& job, PageStreams& page, BlockWatch* watch)
        : job_(job), page_(page), watch_(watch), format_(job.settings.format), extension_(ExtensionOf(format_))
    {
    }

    bool Run(int& errorTotal);

private:
    bool FindReusedImage(const char* key, int keyLength, char* fileName);
    bool Draw();
    bool Encode(const char* fileName, const char* key);
    bool WriteNewImage(const char* key);
    bool WriteImageFile(StagedFile& image);
    void WriteImageTag(const char* fileName, bool drawnNow);
    void AddDimensions(ImageTag& tag, const char* fileName, bool drawnNow);
    // GIF and PNG images get 2x images when asked for; XBM images never.
    bool WithDoubled() const { return job_.settings.hidpi && format_ != kFormatXbm; }
    bool PutDoubled(const char* fileName, const char* key, bool oneXWritten);
    bool Fail(int message);

    PageJob& job_;
    PageStreams& page_;
    BlockWatch* watch_;  // null without diagnostics
    ImageFormat format_;
    const char* extension_;
    GlyphBitmap bitmap_;  // from the rasterizer to the end of the block's image
    ByteBuffer encoded_;  // the image file's bytes
    // The face's lines, the same for every block: measured at the first tag
    // that needs them.
    FontLines fontLines_;
    bool fontLinesMeasured_ = false;
    bool fontLinesKnown_ = false;
};

bool BlockPipeline::Fail(int message)
{
    job_.log.LogMessage(message, true, true);
    return false;
}

// The image's size as its file records it: for an image drawn now, from the
// bytes just written; for one found again, from its file. The rows below the
// baseline come from the face's metrics either way.
void BlockPipeline::AddDimensions(ImageTag& tag, const char* fileName, bool drawnNow)
{
    ImageSize size;
    const bool sized = drawnNow ? ReadImageSize(encoded_.data(), encoded_.size(), format_, size)
                                : ImageFolderImageSize(job_.imageDir, fileName, format_, size);
    if (sized)
        tag.AddSize(size);
    if (!fontLinesMeasured_) {
        fontLinesKnown_ = MeasureFontLines({job_.settings.fontName, job_.settings.fontSize, job_.settings.dpi}, fontLines_);
        fontLinesMeasured_ = true;
    }
    if (fontLinesKnown_)
        tag.AddRowsBelowBaseline(fontLines_.descent);
}

// The tag of the block's image, with no line break: only the source unless
// the settings ask for more.
void BlockPipeline::WriteImageTag(const char* fileName, bool drawnNow)
{
    ImageTag tag(fileName);
    if (job_.settings.altText)
        tag.AddAlt(BuildAltText(g_glyphString, g_bUnicodeMode, job_.encoding));
    if (job_.settings.dimensions)
        AddDimensions(tag, fileName, drawnNow);
    if (WithDoubled()) {
        // The 2x image comes last: srcset="./hanimg/2x/<file> 2x".
        tag.AddAttribute("srcset", std::string("./hanimg/") + kDoubledImageFolder + fileName + " 2x");
    }
    page_.PutText(tag.Finish().c_str());
    ++job_.imageCount;
}

// With 2x images on, the 2x image beside the block's 1x image.
bool BlockPipeline::PutDoubled(const char* fileName, const char* key, bool oneXWritten)
{
    if (!WithDoubled())
        return true;
    const DoubledImageSource source{fileName, key, g_glyphString.bytes, sizeof g_glyphString.bytes, g_bUnicodeMode};
    return PutDoubledImage(job_, source, oneXWritten);
}

// An image of this base name with the same key and colours, named in
// `fileName` exactly as it stands in the folder.
bool BlockPipeline::FindReusedImage(const char* key, int keyLength, char* fileName)
{
    char found[kMaxPath] = "";
    FindReusableImage(job_.imageDir, g_szImageBaseName, key, keyLength, job_.colours, found, format_);
    if (found[0] == '\0')
        return false;
    std::snprintf(fileName, kMaxPath, "%s", found + std::strlen(job_.imageDir));
    return true;
}

bool BlockPipeline::Draw()
{
    const FontChoice font{job_.settings.fontName, job_.settings.fontSize, job_.settings.dpi};
    switch (RasterizeGlyphs(font, g_glyphString.bytes, sizeof g_glyphString.bytes, g_bUnicodeMode, bitmap_)) {
    case RasterResult::kDrawn: return true;
    case RasterResult::kNoMemory: return Fail(IDS_NO_MEMORY);
    default: return Fail(IDS_FONT_FAILED);
    }
}

// Encodes the drawn bitmap into encoded_ and frees it. A PNG that libpng
// refuses shows libpng's box, as a failed save does.
bool BlockPipeline::Encode(const char* fileName, const char* key)
{
    encoded_.clear();
    const ImageStyle style{job_.colours, job_.settings.transparent, key};
    int result = 0;
    if (format_ == kFormatXbm) {
        // The XBM symbol is the file name, extension included, cut to 8.
        char xbmName[9] = {};
        std::strncpy(xbmName, fileName, 8);
        result = EncodeXbm(bitmap_.View(), xbmName, encoded_);
    } else if (format_ == kFormatPng) {
        PngStatus status;
        result = EncodePng(bitmap_.View(), style, encoded_, status);
        if (result != 0)
            job_.log.ShowMessageBox(FormatSaveFailure(status.code, status.message));
    } else {
        result = EncodeGif(bitmap_.View(), style, encoded_);
    }
    bitmap_.Free();
    return result == 0;
}

// One write of the whole image. A short image could hold a whole key and be
// reused for ever, so a failed write leaves nothing; a PNG whose write fails
// shows the box of a failed save.
bool BlockPipeline::WriteImageFile(StagedFile& image)
{
    if (image.WriteAll(encoded_.data(), encoded_.size()) && image.Commit()) {
        ++job_.createdCount;
        return true;
    }
    image.Discard();
    if (format_ == kFormatPng)
        job_.log.ShowMessageBox(FormatSaveFailure(3, "Write Error"));
    return Fail(IDS_CANNOT_CREATE);
}

// The first free name: name.gif, name1.gif, name2.gif, ... A name is free
// when the folder has no entry of that name and the image can be created
// under it without replacing anything: another process may have taken it
// since the folder was read, and then the next name is tried. A fixed name
// replaces its file through a staged file, so the last good image survives
// a failed rewrite. A path that does not fit cannot be created.
bool BlockPipeline::WriteNewImage(const char* key)
{
    char fileName[kMaxPath];
    char imagePath[kMaxPath];
    StagedFile image;
    // The names before the first free one are all taken: start there.
    for (int n = g_bFixedName ? 0 : FirstFreeImageNumber(job_.imageDir, g_szImageBaseName, extension_);; ++n) {
        if (n == 0)
            std::snprintf(fileName, sizeof fileName, "%s.%s", g_szImageBaseName, extension_);
        else
            std::snprintf(fileName, sizeof fileName, "%s%d.%s", g_szImageBaseName, n, extension_);
        const int length = std::snprintf(imagePath, sizeof imagePath, "%s%s", job_.imageDir, fileName);
        if (length < 0 || length >= kMaxPath)
            return Fail(IDS_CANNOT_CREATE);
        if (g_bFixedName) {
            if (!Encode(fileName, key) || !image.Open(imagePath, ".sylpic-image-"))
                return Fail(IDS_CANNOT_CREATE);
            break;
        }
        if (!ImageFolderHas(job_.imageDir, fileName)) {
            bool taken = false;
            if (image.OpenNew(imagePath, &taken)) {
                if (!Encode(fileName, key)) {
                    image.Discard();
                    return Fail(IDS_CANNOT_CREATE);
                }
                break;
            }
            if (!taken)
                return Fail(IDS_CANNOT_CREATE);
            NoteImageWritten(job_.imageDir, fileName);  // someone else's now
        }
    }
    if (!WriteImageFile(image))
        return false;
    NoteImageWritten(job_.imageDir, fileName);
    if (!PutDoubled(fileName, key, true))
        return false;
    WriteImageTag(fileName, true);
    return true;
}

bool BlockPipeline::Run(int& errorTotal)
{
    // The name was emptied at "[[", so a name now came from a directive.
    g_bFixedName = g_szImageBaseName[0] != '\0';

    BlockReport report;
    const int blockErrors = ParseBlock(AddToImageName, watch_ != nullptr ? &report : nullptr);
    errorTotal += blockErrors;
    if (watch_ != nullptr)
        watch_->ReportClosed(report);

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

    char key[256] = "";
    if (format_ != kFormatXbm) {
        const ConversionSettings& settings = job_.settings;
        const int keyLength = MakeImageKey(settings.fontName, settings.fontSize, settings.transparent,
                                           g_glyphString.bytes, g_glyphString.length, key);
        char fileName[kMaxPath];
        if (!g_bFixedName && keyLength != 0 && blockErrors == 0 && FindReusedImage(key, keyLength, fileName)) {
            if (!PutDoubled(fileName, key, false))
                return false;
            WriteImageTag(fileName, false);
            return true;
        }
    }

    if (!Draw())
        return false;
    return WriteNewImage(key);
}

// The page's first bytes, read ahead to decide its encoding, and where the
// source stood before them.
struct PageStart {
    long sourceBase = -1;
    unsigned char bytes[kPageEncodingSniffBytes];
    int count = 0;
};

// Where an open block began, as offsets in the two files, so that a block
// never closed can be given back to the page as it stood.
struct BlockStart {
    long source = -1;  // offset of its "[["
    long output = -1;  // size of the output then
};

// A block still open at the end of the page was no block: the output from
// where it began is cut back (a lead byte written since goes too) and the
// source from its "[[" is copied in its place. False when the files cannot
// be repositioned (a pipe), and then the block is lost as before.
bool GiveBackOpenBlock(const BlockStart& start, FILE* source, FILE* output)
{
    if (start.source < 0 || start.output < 0 || std::fflush(output) != 0 ||
        std::fseek(output, start.output, SEEK_SET) != 0 || ftruncate(fileno(output), start.output) != 0 ||
        std::fseek(source, start.source, SEEK_SET) != 0)
        return false;
    char buffer[8192];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, source)) > 0)
        std::fwrite(buffer, 1, n, output);
    return true;
}

// The scanner's loop. It is compiled twice: watching, it also places each
// block and notes what its diagnostics need; otherwise a page pays nothing
// for them.
template <bool kWatching>
int ScanBytes(PageJob& job, FILE* source, FILE* output, const PageStart& start, BlockWatch* watch)
{
    char tagText[kMaxTagText + 1];
    int tagCount = 0;
    char directiveText[kMaxTagText + 1];
    int directiveCount = 0;

    // Offsets are counted from where the files stood, read once, not asked
    // of the files at every block.
    const long sourceBase = start.sourceBase;
    const long outputBase = std::ftell(output);
    PageStreams page{source, output, start.bytes, start.count};
    // Only code page 932 text pairs a lead byte with a trail byte.
    const bool pairs = job.encoding == PageEncoding::kCp932;
    BlockPipeline pipeline(job, page, watch);

    BlockStart blockStart;
    bool inBlock = false;
    bool inDirective = false;
    bool inTag = false;
    int errorTotal = 0;
    bool fatal = false;

    for (;;) {
        int b = page.Get();
        if (b == EOF)
            break;

        // A double-byte pair is copied or collected whole, so its trail byte
        // never counts as '[', ']' or a backquote.
        if (pairs && IsLeadByte(static_cast<unsigned char>(b))) {
            const int t = page.Get();
            if (t == EOF) {
                page.Put(b);
                break;
            }
            if (IsTrailByte(static_cast<unsigned char>(t))) {
                if (inBlock) {
                    AddBlockByte(static_cast<unsigned char>(b));
                    AddBlockByte(static_cast<unsigned char>(t));
                    if constexpr (kWatching)
                        watch->CountPair();
                } else {
                    page.Put(b);
                    page.Put(t);
                }
                continue;
            }
            page.Put(b);  // a lone lead byte goes out, even in a block
            b = t;
        }
        // Every byte of the page comes here once (a byte read ahead and
        // pushed back comes again here instead), but for the bytes of pairs,
        // which are never LF.
        if constexpr (kWatching)
            page.CountLineBreak(b);

        if (!inBlock) {
            if (b == '[') {
                const int b2 = page.Get();
                if (b2 == '[') {
                    inBlock = true;
                    if (sourceBase >= 0 && outputBase >= 0)
                        blockStart = {sourceBase + page.read - 2, outputBase + page.written};
                    if constexpr (kWatching)
                        watch->Begin(page.PositionOf(page.read - 2));
                    BeginBlock();
                    const int b3 = page.Get();
                    if (b3 == '`') {
                        inDirective = true;
                        directiveCount = 0;
                    } else if (b3 != EOF) {
                        page.Unget(b3);
                    }
                    continue;
                }
                if (b2 != EOF)
                    page.Unget(b2);
            }
            if (inTag) {
                if (b == '>') {
                    tagText[tagCount] = '\0';
                    if (tagCount >= 5 && PrefixEqualsIgnoringCase(tagText, "body ", 5)) {
                        ReadBodyColours(tagText + 5, job.colours);
                        job.settings.ApplyColourOverrides(job.colours);
                    }
                    inTag = false;
                    tagCount = 0;
                    page.Put('>');
                    continue;
                }
                if (tagCount < kMaxTagText)
                    tagText[tagCount++] = static_cast<char>(b);
            }
            if (b == '<')
                inTag = true;
            page.Put(b);
            continue;
        }

        // Inside a block.
        if (b == ']') {
            const int b2 = page.Get();
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
                page.Unget(b2);
            AddBlockByte(']');
            if constexpr (kWatching)
                watch->CountByte(']');
        } else if (inDirective) {
            if (b == '`') {
                ApplyNameDirective(directiveText, directiveCount);
                inDirective = false;
            } else if (directiveCount < kMaxTagText) {
                directiveText[directiveCount++] = static_cast<char>(b);
            }
        } else {
            AddBlockByte(static_cast<unsigned char>(b));
            if constexpr (kWatching) {
                if (watch->CountByte(static_cast<unsigned char>(b)))
                    watch->NoteNestedOpening(page.PositionOf(page.read - 2));
            }
        }
    }

    if (fatal)
        return kResultFatal;
    // A block still open at the end of the page is given back to the page as
    // it stood; it counts as an error so that the page is not reported as
    // clean.
    if (inBlock) {
        if constexpr (kWatching)
            watch->ReportOpen();
        GiveBackOpenBlock(blockStart, source, output);
        BeginBlock();
        ++errorTotal;
    }
    return errorTotal;
}

// What the diagnostics tell of the page as a whole, before its blocks: a
// UTF-8 page's byte order mark is no column of line 1, and a page taken for
// code page 932 for want of a declaration may be UTF-8. The source is left
// where the scanner goes on, after the bytes read ahead.
void WatchPageStart(const PageJob& job, FILE* source, PageStart& start, BlockWatch& watch)
{
    static const unsigned char kByteOrderMark[] = {0xEF, 0xBB, 0xBF};
    if (start.sourceBase < 0)
        return;
    if (job.encoding == PageEncoding::kUtf8) {
        if (start.count == 0)  // the encoding was given: nothing was read ahead
            start.count = static_cast<int>(std::fread(start.bytes, 1, sizeof kByteOrderMark, source));
        if (start.count >= 3 && std::memcmp(start.bytes, kByteOrderMark, sizeof kByteOrderMark) == 0)
            watch.SkipByteOrderMark(sizeof kByteOrderMark);
        return;
    }
    if (job.settings.pageEncoding != PageEncodingChoice::kAuto)
        return;
    if (IsUtf8BeyondAscii(source, start.sourceBase))
        watch.ReportUndeclaredUtf8();
    std::clearerr(source);
    std::fseek(source, start.sourceBase + start.count, SEEK_SET);
}

}  // namespace

int ScanPage(PageJob& job, FILE* source, FILE* output)
{
    job.imageCount = 0;
    job.createdCount = 0;
    ResetColourPair(job.colours);

    // The encoding, from the page's first bytes unless the user named it.
    PageStart start;
    start.sourceBase = std::ftell(source);
    if (job.settings.pageEncoding == PageEncodingChoice::kAuto)
        start.count = static_cast<int>(std::fread(start.bytes, 1, sizeof start.bytes, source));
    job.encoding = ResolvePageEncoding(job.settings.pageEncoding, start.bytes, static_cast<std::size_t>(start.count));

    job.settings.ApplyColourOverrides(job.colours);
    BeginPage(job.settings.fontName == "New Gulim", job.encoding == PageEncoding::kUtf8);
    BeginImageFolder(job.imageDir);
    int result;
    if (job.diagnostics == nullptr) {
        result = ScanBytes<false>(job, source, output, start, nullptr);
    } else {
        BlockWatch watch(*job.diagnostics, job.sourcePath, job.encoding);
        WatchPageStart(job, source, start, watch);
        result = ScanBytes<true>(job, source, output, start, &watch);
    }
    EndImageFolder();
    return result;
}
