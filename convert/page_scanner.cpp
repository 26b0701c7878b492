// The page scanner: copies a source page to its output page byte by byte,
// reads the body tag's colours on the way, and replaces every [[ ]] block by
// the <img> tag of its image.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "convert/block_pipeline.h"
#include "convert/block_state.h"
#include "convert/block_watch.h"
#include "convert/file_cause.h"
#include "convert/image_name.h"
#include "convert/image_folder_view.h"
#include "convert/image_key.h"
#include "convert/page_encoding.h"
#include "convert/page_font.h"
#include "convert/page_scan.h"
#include "convert/real_text.h"
#include "convert/staged_file.h"
#include "convert/undeclared_utf8.h"
#include "hangul/ascii_text.h"
#include "res/messages.h"
#include "hangul/block_buffers.h"
#include "hangul/code_page.h"

namespace sylpic {

namespace {

constexpr int kResultFatal = -1;

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

// The scanner's loop. It is compiled for each use: watching, it also places
// each block and notes what its diagnostics need; in real text, it also
// follows the markup around the blocks (RealTextPage in the job). Otherwise
// a page pays nothing for either.
template <bool kWatching, bool kRealText>
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
    BlockPipeline pipeline(job, watch);

    // Real text: the markup passed so far, and where the open tag began.
    MarkupContext markup;
    long tagStart = -1;

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
            if constexpr (kRealText)
                markup.OutsideByte(static_cast<unsigned char>(b));
            if (inTag) {
                if (b == '>') {
                    tagText[tagCount] = '\0';
                    if (StartsWithIgnoringCase({tagText, static_cast<std::size_t>(tagCount)}, "body ")) {
                        ReadBodyColours(tagText + 5, job.colours);
                        job.settings.ApplyColourOverrides(job.colours);
                    }
                    if constexpr (kRealText) {
                        if (markup.TagClosed({tagText, static_cast<std::size_t>(tagCount)}) && !job.realText->writing)
                            job.realText->headEnd = tagStart;
                    }
                    inTag = false;
                    tagCount = 0;
                    page.Put('>');
                    continue;
                }
                if (tagCount < kMaxTagText)
                    tagText[tagCount++] = static_cast<char>(b);
            }
            if (b == '<') {
                if constexpr (kRealText) {
                    if (!inTag) {
                        // The page's font style goes before the first "</head>"
                        // that the first reading found.
                        tagStart = page.read - 1;
                        RealTextPage& realText = *job.realText;
                        if (realText.writing && tagStart == realText.headEnd && !realText.styleWritten) {
                            page.PutText(realText.style.c_str());
                            realText.styleWritten = true;
                        }
                    }
                }
                inTag = true;
            }
            page.Put(b);
            continue;
        }

        // Inside a block.
        if (b == ']') {
            const int b2 = page.Get();
            if (b2 == ']') {
                inBlock = false;
                inDirective = false;
                const RealTextPlace place = kRealText ? markup.PlaceOfBlock(inTag) : RealTextPlace::kSpan;
                if (!pipeline.Run(errorTotal, place)) {
                    fatal = true;
                    break;
                }
                page.PutText(pipeline.Tag().c_str());
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

// Scans with or without diagnostics.
template <bool kRealText>
int ScanWatchedOrNot(PageJob& job, FILE* source, FILE* output, PageStart& start)
{
    if (job.diagnostics == nullptr)
        return ScanBytes<false, kRealText>(job, source, output, start, nullptr);
    BlockWatch watch(*job.diagnostics, job.sourcePath, job.encoding);
    WatchPageStart(job, source, start, watch);
    return ScanBytes<true, kRealText>(job, source, output, start, &watch);
}

// A page in real text is read twice. The first reading, to nowhere and
// without diagnostics, collects the characters of its blocks and finds
// where the style goes; the page's font is then written (before the output
// page is committed) and the second reading writes the page.
int ScanRealTextPage(PageJob& job, FILE* source, FILE* output, PageStart& start)
{
    RealTextPage realText;
    job.realText = &realText;
    struct Nowhere {
        FILE* file = std::fopen("/dev/null", "wb");
        ~Nowhere()
        {
            if (file != nullptr)
                std::fclose(file);
        }
    } nowhere;
    const bool unicodeMode = job.settings.fontName == "New Gulim";
    const bool utf8Page = job.encoding == PageEncoding::kUtf8;
    int result = kResultFatal;
    if (nowhere.file == nullptr || start.sourceBase < 0) {
        const int cause = errno;
        job.log.LogMessage(IDS_CANNOT_OPEN, true, true);
        ReportFileCause(job.log, nowhere.file == nullptr ? "/dev/null" : job.sourcePath, cause);
    } else {
        BeginPage(unicodeMode, utf8Page, true);
        ScanBytes<false, true>(job, source, nowhere.file, start, nullptr);
        job.imageCount = 0;
        ResetColourPair(job.colours);
        job.settings.ApplyColourOverrides(job.colours);
        if (std::fseek(source, start.sourceBase + start.count, SEEK_SET) != 0) {
            const int cause = errno;
            job.log.LogMessage(IDS_CANNOT_OPEN, true, true);
            ReportFileCause(job.log, job.sourcePath, cause);
        } else if (realText.spans == 0 || WritePageFont(job, realText)) {
            realText.writing = true;
            BeginPage(unicodeMode, utf8Page, true);
            result = ScanWatchedOrNot<true>(job, source, output, start);
        }
    }
    job.realText = nullptr;
    return result;
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
    if (job.settings.realText)
        return ScanRealTextPage(job, source, output, start);
    BeginPage(job.settings.fontName == "New Gulim", job.encoding == PageEncoding::kUtf8);
    BeginImageFolder(job.imageDir);
    const int result = ScanWatchedOrNot<false>(job, source, output, start);
    EndImageFolder();
    return result;
}

}  // namespace sylpic
