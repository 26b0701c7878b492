// A page converted in real text, on arbitrary page bytes.
//
// Input: one settings byte, then the page. Bit 0 of the settings byte reads
// the page as UTF-8 (else as code page 932), bit 1 drops the page as its
// output page the first time (else as its source page). Pages are cut to
// 4 KB, and a page that holds "sylpic" is passed over, so that every span
// and style in the output is the program's own. Properties:
// - the log line's first figure is the number of spans written, and every
//   span ends where its text ends: no '<' or '>' stands inside one;
// - a page with spans gets exactly one style element, before its first
//   span, and every font file it names is in the image folder and whole; a
//   page without spans gets none and no font file;
// - the text of a block adds no '<' or '>' to the page, and no '"' but
//   inside a span (where it ends nothing): beyond the spans' and the
//   style's own markup, the output holds as many of each as the page holds
//   outside its blocks (for an ASCII page, whose blocks are easy to find),
//   so text inside a tag never ends its attribute or the tag.
#include <algorithm>
#include <cstdint>
#include <string>

#include "app/main_dlg.h"
#include "fuzz/fuzz_support.h"
#include "imaging/web_font.h"

using namespace sylpic;

namespace {

constexpr std::size_t kMaxPage = 4096;
constexpr char kSpanOpen[] = "<span class=\"sylpic\" lang=\"ko\">";
constexpr char kSpanClose[] = "</span>";
// The program's style element begins so; a page holding "sylpic" is passed
// over, so no page text can.
constexpr char kStyleOpen[] = "<style>@font-face{font-family:\"sylpic-";

class LogUi : public UserInterface {
public:
    void LogAppended(std::string_view text) override { log += text; }
    void LogReplaced(std::string_view text) override { log = text; }
    void ShowMessageBox(std::string_view) override {}
    std::string log;
};

std::size_t CountOf(std::string_view text, std::string_view what)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size()))
        ++count;
    return count;
}

// The page's bytes outside closed blocks, as the scanner finds blocks in a
// page of ASCII: "[[" opens one, the next "]]" closes it, and a block still
// open at the end stays in the page.
std::string OutsideBlocks(const std::string& page)
{
    std::string outside;
    std::size_t at = 0;
    for (;;) {
        const std::size_t open = page.find("[[", at);
        if (open == std::string::npos)
            break;
        const std::size_t close = page.find("]]", open + 2);
        if (close == std::string::npos)
            break;
        outside.append(page, at, open - at);
        at = close + 2;
    }
    return outside + page.substr(at);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return -1;
    const unsigned settings = data[0];
    const std::string page(reinterpret_cast<const char*>(data + 1), std::min(size - 1, kMaxPage));
    if (page.find("sylpic") != std::string::npos)
        return -1;
    static const ScratchFolder folder("real_text");
    folder.Empty();
    const std::string name = (settings & 2) ? "page.htm" : "sp_page.htm";
    WriteWholeFile(folder / name, page.data(), page.size());

    LogUi ui;
    CMainDlg dlg(&ui);
    dlg.m_strFontName = "NanumGothic";
    dlg.m_strFontSize = "12";
    dlg.m_strPageEncoding = (settings & 1) ? "UTF-8" : "CP932";
    dlg.m_bRealText = 1;
    dlg.ConvertFiles({folder / name});
    FUZZ_CHECK(dlg.m_lastOutcome != RunOutcome::kStopped, "the run stopped: " + ui.log);
    const std::string out = ReadWholeFile(folder / "page.htm");

    // Spans, and the '"' their texts hold.
    const std::size_t spans = CountOf(out, kSpanOpen);
    long quotesInSpans = 0;
    FUZZ_CHECK(static_cast<int>(spans) == dlg.m_nImageCount, "the log counts another number of spans: " + ui.log);
    for (std::size_t at = out.find(kSpanOpen); at != std::string::npos; at = out.find(kSpanOpen, at + 1)) {
        const std::size_t text = at + sizeof kSpanOpen - 1;
        const std::size_t end = out.find_first_of("<>", text);
        FUZZ_CHECK(end != std::string::npos && out.compare(end, sizeof kSpanClose - 1, kSpanClose) == 0,
                   "a span ends early: " + out.substr(at, 80));
        quotesInSpans += std::count(out.begin() + static_cast<long>(text), out.begin() + static_cast<long>(end), '"');
    }

    // The style and its fonts.
    const std::size_t style = out.find(kStyleOpen);
    const std::size_t styleEnd = out.find("</style>", style == std::string::npos ? 0 : style);
    const std::vector<std::string> folderNames = ListFolder(folder / "hanimg");
    const std::size_t fonts = std::count_if(folderNames.begin(), folderNames.end(),
                                            [](const std::string& n) { return n.find(".woff2") != std::string::npos; });
    if (spans == 0) {
        FUZZ_CHECK(style == std::string::npos && fonts == 0, "a page without spans got a font");
        return 0;
    }
    FUZZ_CHECK(style != std::string::npos && styleEnd != std::string::npos &&
                   CountOf(out, kStyleOpen) == 1 && style < out.find(kSpanOpen),
               "the style is not once before the first span");
    const std::string styleText = out.substr(style, styleEnd + 8 - style);
    for (std::size_t at = styleText.find("./hanimg/"); at != std::string::npos; at = styleText.find("./hanimg/", at + 1)) {
        const std::string file = styleText.substr(at + 9, styleText.find('"', at) - at - 9);
        const std::string bytes = ReadWholeFile(folder / ("hanimg/" + file));
        FUZZ_CHECK(IsWholeWoff2(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()),
                   "the style names a font that is not whole: " + file);
    }

    // The text adds no markup.
    if (std::all_of(page.begin(), page.end(), [](char c) { return (c & 0x80) == 0; })) {
        const std::string before = OutsideBlocks(page);
        for (const char c : {'"', '<', '>'}) {
            const auto own = [c](std::string_view text) { return std::count(text.begin(), text.end(), c); };
            const auto expected = own(before) + own(styleText) + (c == '"' ? quotesInSpans : 0) +
                                  static_cast<long>(spans) * (own(kSpanOpen) + own(kSpanClose));
            FUZZ_CHECK(own(out) == expected, std::string("a block's text added a ") + c + ": " + out);
        }
    }
    return 0;
}
