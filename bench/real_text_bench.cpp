// Real text benchmark, on one folder (default /dev/shm):
// - the web font of one weight for 300 distinct syllables: time, and bytes
//   against fontTools' unhinted WOFF2 of the same code points (when
//   /usr/bin/python3 has fontTools);
// - a page of 3,000 syllables (about 290 distinct) in both NanumGothic
//   weights, the same page unchanged again, and that against re-converting
//   it in image mode;
// - a site of 1,000 pages in 100 folders, 300 syllables a page, and again;
// - peak memory for a 100 MB page.
//
//   real_text_bench [ROOT]
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "app/main_dlg.h"
#include "bench/bench_support.h"
#include "convert/site_pages.h"
#include "imaging/font_engine.h"
#include "imaging/web_font.h"

using namespace sylpic;

namespace {

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// A page of blocks of 1 to 6 syllables until it holds `syllables`.
std::string MakePage(int syllables, unsigned seed)
{
    std::mt19937 rng(seed);
    std::string page = "<html><head><title>lesson</title></head><body>\n";
    for (int made = 0; made < syllables;) {
        std::string block;
        const int count = std::min(1 + static_cast<int>(rng() % 6), syllables - made);
        for (int s = 0; s < count; ++s)
            block += (s ? "-" : "") + RandomSyllable(rng);
        made += count;
        page += "<p>text [[" + block + "]] more text</p>\n";
    }
    return page + "</body></html>\n";
}

struct Run {
    double seconds;
    int spans;
    int created;
};

Run Convert(const std::vector<std::string>& pages, bool realText)
{
    SilentUi ui;
    CMainDlg dlg(&ui);
    dlg.m_strFontName = "NanumGothic";
    dlg.m_strFontSize = "12";
    dlg.m_strImageFormat = "GIF";
    dlg.m_bTransparent = 1;
    dlg.m_bRealText = realText ? 1 : 0;
    int created = 0;
    const auto start = std::chrono::steady_clock::now();
    dlg.ConvertFiles(pages);
    const double seconds = Seconds(start);
    created += dlg.m_nCreatedCount;
    if (dlg.m_lastOutcome == RunOutcome::kStopped) {
        std::fprintf(stderr, "conversion stopped: %s\n", dlg.m_strLog.c_str());
        std::exit(1);
    }
    return {seconds, dlg.m_nImageCount, created};
}

// One weight's subset of 300 syllables and ASCII, against fontTools'.
void MeasureSubset(const std::string& folder, const FaceFileName& file)
{
    WebFontFace face;
    if (LoadWebFontFace(file.path, file.index, face) != ImagingStatus::kOk) {
        std::fprintf(stderr, "%s cannot be read\n", file.path.c_str());
        std::exit(1);
    }
    std::vector<char32_t> codePoints;
    for (char32_t c = ' '; c < 0x7F; ++c)
        codePoints.push_back(c);
    for (int i = 0; i < 300; ++i)
        codePoints.push_back(0xAC00 + static_cast<char32_t>(i * 37));
    ByteBuffer woff2;
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        const auto start = std::chrono::steady_clock::now();
        SubsetToWoff2(face, codePoints, "sylpic-0123456789abcdef", woff2);
        times.push_back(Seconds(start));
    }
    std::printf("subset:   weight %d, 300 syllables and ASCII: %.1f ms (median of 5), %zu bytes\n", face.weight,
                Median(times) * 1000, woff2.size());

    std::string unicodes;  // fontTools reads them as hex
    for (char32_t c : codePoints) {
        char hex[16];
        std::snprintf(hex, sizeof hex, "%s%x", unicodes.empty() ? "" : ",", static_cast<unsigned>(c));
        unicodes += hex;
    }
    const std::string out = folder + "fonttools.woff2";
    const std::string command = "/usr/bin/python3 -m fontTools.subset '" + file.path + "' --unicodes=" + unicodes +
                                " --flavor=woff2 --no-hinting --output-file='" + out + "' 2>/dev/null";
    const auto start = std::chrono::steady_clock::now();
    if (std::system(command.c_str()) == 0) {
        const double seconds = Seconds(start);
        const auto size = std::filesystem::file_size(out);
        std::printf("          fontTools: %.0f ms, %ju bytes; ours %.3f x its bytes\n", seconds * 1000,
                    static_cast<std::uintmax_t>(size), static_cast<double>(woff2.size()) / static_cast<double>(size));
    } else {
        std::printf("          fontTools: not available\n");
    }
}

void MeasurePage(const std::string& root)
{
    const std::string folder = MakeScratch(root);
    const std::string page = MakePage(3000, 7);
    WriteFile(folder + "sp_lesson.htm", page);
    const Run first = Convert({folder + "sp_lesson.htm"}, true);
    std::vector<double> again, images;
    for (int i = 0; i < 5; ++i)
        again.push_back(Convert({folder + "sp_lesson.htm"}, true).seconds);
    Convert({folder + "sp_lesson.htm"}, false);  // its images, to reuse
    for (int i = 0; i < 5; ++i)
        images.push_back(Convert({folder + "sp_lesson.htm"}, false).seconds);
    std::printf("page:     3,000 syllables, %d spans, %d font files: first %.1f ms; again %.1f ms, "
                "%.2f x image mode's again (%.1f ms)\n",
                first.spans, first.created, first.seconds * 1000, Median(again) * 1000, Median(again) / Median(images),
                Median(images) * 1000);
    std::filesystem::remove_all(folder);
}

void MeasureSite(const std::string& root)
{
    const std::string site = MakeScratch(root);
    for (int f = 0; f < 100; ++f) {
        const std::string folder = site + "part" + std::to_string(f) + "/";
        std::filesystem::create_directory(folder);
        for (int p = 0; p < 10; ++p)
            WriteFile(folder + "sp_page" + std::to_string(p) + ".htm", MakePage(300, static_cast<unsigned>(f * 10 + p)));
    }
    const std::vector<std::string> pages = FindSitePages({site}).pages;
    const Run first = Convert(pages, true);
    const Run again = Convert(pages, true);
    std::printf("site:     %zu pages in 100 folders: first %.2f s, again %.2f s (its last page created %d files)\n",
                pages.size(), first.seconds, again.seconds, again.created);
    std::filesystem::remove_all(site);
}

void MeasureMemory(const std::string& root)
{
    const std::string folder = MakeScratch(root);
    const std::string page = MakePage(3000, 3);
    const std::string filler(1000, 'x');
    std::string big;
    while (big.size() < (100u << 20))
        big += page + filler + "\n";
    WriteFile(folder + "sp_big.htm", big);
    big.clear();
    big.shrink_to_fit();
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        const Run run = Convert({folder + "sp_big.htm"}, true);
        rusage usage;
        getrusage(RUSAGE_SELF, &usage);
        std::printf("memory:   100 MB page, %d spans in %.1f s: peak %.1f MB\n", run.spans, run.seconds,
                    static_cast<double>(usage.ru_maxrss) / 1024.0);
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::filesystem::remove_all(folder);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string root = argc > 1 ? argv[1] : "/dev/shm";
    const std::string folder = MakeScratch(root);
    const std::vector<FaceFileName> files = ListFamilyFaceFiles("NanumGothic");
    if (files.empty()) {
        std::fprintf(stderr, "NanumGothic is not installed\n");
        return 1;
    }
    for (const FaceFileName& file : files)
        MeasureSubset(folder, file);
    std::filesystem::remove_all(folder);
    MeasurePage(root);
    MeasureSite(root);
    MeasureMemory(root);
    return 0;
}
