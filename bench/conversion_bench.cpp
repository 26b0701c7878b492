// Conversion benchmark: new images per second on a first conversion, blocks
// per second on an unchanged re-conversion, growth from 1,000 to 10,000
// blocks, and peak memory for a 100 MB page.
//
// The disk is shared and noisy, so each time is also printed as a ratio to
// the cost no converter can avoid, measured in the same run and folder:
// creating, writing and closing a file of the image's size (first
// conversion), and opening, reading 300 bytes of and closing the reused
// image (re-conversion).
//
//   conversion_bench [ROOT...]     default roots: /tmp and /dev/shm
//   conversion_bench --memory-only [ROOT]
//   conversion_bench --shared-stem-only [ROOT...]
//   conversion_bench --profile-again FORMAT REPEATS BLOCKS
//   conversion_bench --profile-first FORMAT REPEATS BLOCKS
//
// --profile-again converts a page of BLOCKS blocks (from 10,000 on, in a
// folder holding 10,000 images of another page) in /dev/shm, then only
// again and again, REPEATS times, so that a profiler sees the reuse path.
// --profile-first converts such a page into an empty image folder, REPEATS
// times, and prints the median cost of a new image: with REPEATS 1 the
// glyphs are drawn for the first time, as in the figures above; from then on
// they come from the glyph cache and what is left is encoding and writing.
//
// The 100 MB page is converted by a fresh process of this program
// (--memory-child FOLDER), so that its peak memory is the conversion's own
// and not what the earlier cases left in this process.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "app/main_dlg.h"
#include "bench/bench_support.h"

using namespace sylpic;

namespace {

constexpr const char* kFont = "NanumGothic";

// A page of `blocks` blocks of 1 to 6 syllables, most distinct, about one in
// ten a repeat of an earlier block, with some text between them. Each block
// begins with `lead` when one is given.
std::string MakePage(int blocks, unsigned seed, const std::string& lead = "")
{
    std::mt19937 rng(seed);
    std::vector<std::string> made;
    std::string page = "<html><body bgcolor=\"#FFFFF0\" text=\"navy\">\n";
    for (int i = 0; i < blocks; ++i) {
        std::string block;
        if (!made.empty() && rng() % 10 == 0) {
            block = made[rng() % made.size()];
        } else {
            const int syllables = 1 + static_cast<int>(rng() % 6);
            block = lead;
            for (int s = 0; s < syllables; ++s)
                block += (s || !lead.empty() ? "-" : "") + RandomSyllable(rng);
            made.push_back(block);
        }
        page += "<p>text [[" + block + "]] more text</p>\n";
    }
    page += "</body></html>\n";
    return page;
}

struct RunFigures {
    double seconds;
    int images;
    int created;
};

// Converts <folder>sp_<name> once.
RunFigures ConvertOnce(const std::string& folder, const std::string& name, const char* format)
{
    SilentUi ui;
    CMainDlg dlg(&ui);
    dlg.m_strFontName = kFont;
    dlg.m_strFontSize = "12";
    dlg.m_strImageFormat = format;
    dlg.m_bTransparent = 1;
    const auto start = std::chrono::steady_clock::now();
    dlg.ConvertFiles({folder + "sp_" + name});
    const double seconds = Seconds(start);
    if (dlg.m_lastOutcome == RunOutcome::kStopped) {
        std::fprintf(stderr, "conversion stopped: %s\n", dlg.m_strLog.c_str());
        std::exit(1);
    }
    return {seconds, dlg.m_nImageCount, dlg.m_nCreatedCount};
}

// Average size of the files of `extension` in `folder`.
std::size_t AverageSize(const std::string& folder, const std::string& extension)
{
    std::size_t total = 0, count = 0;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().extension() == extension) {
            total += e.file_size();
            ++count;
        }
    return count ? total / count : 0;
}

// The unavoidable cost of a new image: create, write, close.
double BaselineCreate(const std::string& folder, int files, std::size_t size)
{
    mkdir(folder.c_str(), 0777);
    const std::string bytes(size, 'x');
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < files; ++i) {
        const std::string path = folder + "f" + std::to_string(i);
        const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (fd < 0 || write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
            std::exit(1);
        close(fd);
    }
    return Seconds(start) / files;
}

// The unavoidable cost of a reused image: open, read 300 bytes, close.
double BaselineRead(const std::string& folder, const std::string& extension)
{
    std::vector<std::string> paths;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        if (e.path().extension() == extension)
            paths.push_back(e.path().string());
    char buffer[300];
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : paths) {
        const int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0 || read(fd, buffer, sizeof buffer) < 0)
            std::exit(1);
        close(fd);
    }
    return paths.empty() ? 0 : Seconds(start) / static_cast<double>(paths.size());
}

struct ScaleFigures {
    double firstSeconds;
    double againSeconds;
};

ScaleFigures Measure(const std::string& root, const char* format, int blocks, bool fullFolder)
{
    const std::string extension = std::string(".") + (format[0] == 'G' ? "gif" : "png");
    const std::string folder = MakeScratch(root);
    if (fullFolder) {
        // An image folder already holding 10,000 images of other blocks.
        WriteFile(folder + "sp_other.htm", MakePage(10000, 7));
        ConvertOnce(folder, "other.htm", format);
    }
    WriteFile(folder + "sp_page.htm", MakePage(blocks, 1));
    const RunFigures first = ConvertOnce(folder, "page.htm", format);
    const RunFigures again = ConvertOnce(folder, "page.htm", format);
    if (again.created != 0)
        std::fprintf(stderr, "warning: the re-conversion created %d images\n", again.created);

    const double perImage = first.seconds / first.created;
    const double perBlock = again.seconds / again.images;
    const double create = BaselineCreate(folder + "baseline/", first.created, AverageSize(folder + "hanimg", extension));
    const double readBack = BaselineRead(folder + "hanimg", extension);

    std::printf("%-9s %s %6d blocks%s\n", root.c_str(), format, blocks, fullFolder ? " (folder holds 10,000 images)" : "");
    std::printf("  first:  %6d new images  %9.0f images/s  %7.1f us/image  %5.2f x create+write+close (%.1f us)\n",
                first.created, first.created / first.seconds, perImage * 1e6, perImage / create, create * 1e6);
    std::printf("  again:  %6d blocks      %9.0f blocks/s  %7.1f us/block  %5.2f x open+read 300+close (%.1f us)\n",
                again.images, again.images / again.seconds, perBlock * 1e6, perBlock / readBack, readBack * 1e6);
    std::filesystem::remove_all(folder);
    return {first.seconds, again.seconds};
}

// Blocks whose images all share one stem: a first syllable that fills the
// generated name ("hwaeng"), so every image is hwaeng.gif, hwaeng1.gif, ...
// The cost per block should not grow with the number of such images.
void MeasureSharedStem(const std::string& root, const char* format)
{
    double perBlock[2][2];  // [5,000 or 40,000][first or again]
    const int sizes[2] = {5000, 40000};
    for (int i = 0; i < 2; ++i) {
        const std::string folder = MakeScratch(root);
        WriteFile(folder + "sp_page.htm", MakePage(sizes[i], 5, "hwaeng"));
        const RunFigures first = ConvertOnce(folder, "page.htm", format);
        const RunFigures again = ConvertOnce(folder, "page.htm", format);
        if (again.created != 0)
            std::fprintf(stderr, "warning: the re-conversion created %d images\n", again.created);
        perBlock[i][0] = first.seconds / first.images;
        perBlock[i][1] = again.seconds / again.images;
        std::printf("%-9s %s %6d blocks of one stem: first %6.2f s (%d new, %.1f us/block), again %6.2f s "
                    "(%.1f us/block)\n",
                    root.c_str(), format, first.images, first.seconds, first.created, perBlock[i][0] * 1e6,
                    again.seconds, perBlock[i][1] * 1e6);
        std::filesystem::remove_all(folder);
    }
    std::printf("  per-block cost, 40,000 against 5,000 blocks of one stem: first %.2f x, again %.2f x\n\n",
                perBlock[1][0] / perBlock[0][0], perBlock[1][1] / perBlock[0][1]);
}

// Peak memory of converting a 100 MB page, in a child process of its own.
void MeasureMemory(const std::string& root)
{
    const std::string folder = MakeScratch(root);
    std::string page = MakePage(10000, 3);
    const std::string filler(1000, 'x');
    std::string big;
    big.reserve(105u << 20);
    std::size_t cut = 0;
    while (big.size() < (100u << 20)) {
        const std::size_t next = page.find('\n', cut);
        if (next == std::string::npos) {
            cut = 0;
            continue;
        }
        big.append(page, cut, next + 1 - cut);
        big += filler + "\n";
        cut = next + 1;
    }
    WriteFile(folder + "sp_big.htm", big);
    big.clear();
    big.shrink_to_fit();
    page.clear();
    page.shrink_to_fit();

    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        execl("/proc/self/exe", "conversion_bench", "--memory-child", folder.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    std::filesystem::remove_all(folder);
}

// The peak resident memory of this process since its program began, in kB:
// the high-water mark of its memory map, which exec makes anew (the
// rusage's maximum also counts the forked copy of the parent before exec).
long PeakResidentKb()
{
    FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr)
        return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, status) != nullptr)
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1)
            break;
    std::fclose(status);
    return kb;
}

// The child of MeasureMemory: converts the page it made.
int ConvertBigPage(const std::string& folder)
{
    const RunFigures run = ConvertOnce(folder, "big.htm", "GIF");
    std::printf("memory:   100 MB page, %d blocks, %d new images in %.1f s\n", run.images, run.created, run.seconds);
    std::printf("  peak memory (max RSS of the converting process): %.1f MB\n", PeakResidentKb() / 1024.0);
    return 0;
}

// One-time start-up work (code page tables, font list, the face) is not
// part of any figure: a short conversion first.
void WarmUp(const std::string& root, const char* format)
{
    const std::string folder = MakeScratch(root);
    WriteFile(folder + "sp_warm.htm", MakePage(20, 99));
    ConvertOnce(folder, "warm.htm", format);
    std::filesystem::remove_all(folder);
}

// The re-conversion alone, repeated, for a profiler.
int ProfileAgain(const std::string& root, const char* format, int repeats, int blocks)
{
    const std::string folder = MakeScratch(root);
    if (blocks >= 10000) {
        WriteFile(folder + "sp_other.htm", MakePage(10000, 7));
        ConvertOnce(folder, "other.htm", format);
    }
    WriteFile(folder + "sp_page.htm", MakePage(blocks, 1));
    ConvertOnce(folder, "page.htm", format);
    double total = 0;
    for (int i = 0; i < repeats; ++i)
        total += ConvertOnce(folder, "page.htm", format).seconds;
    std::printf("again %.1f us/block\n", total / repeats / blocks * 1e6);
    std::filesystem::remove_all(folder);
    return 0;
}

// First conversions alone: a page of BLOCKS blocks converted into an empty
// image folder, REPEATS times, each in a folder of its own.
int ProfileFirst(const std::string& root, const char* format, int repeats, int blocks)
{
    WarmUp(root, format);
    std::vector<double> perImage;
    for (int i = 0; i < repeats; ++i) {
        const std::string folder = MakeScratch(root);
        WriteFile(folder + "sp_page.htm", MakePage(blocks, 1));
        const RunFigures first = ConvertOnce(folder, "page.htm", format);
        perImage.push_back(first.seconds / first.created * 1e6);
        std::filesystem::remove_all(folder);
    }
    std::sort(perImage.begin(), perImage.end());
    std::printf("first %.1f us/image (median of %d)\n", perImage[perImage.size() / 2], repeats);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool profileFirst = argc == 5 && std::strcmp(argv[1], "--profile-first") == 0;
    if (profileFirst || (argc == 5 && std::strcmp(argv[1], "--profile-again") == 0)) {
        const int repeats = std::atoi(argv[3]);
        const int blocks = std::atoi(argv[4]);
        if (repeats < 1 || blocks < 1) {
            std::fprintf(stderr, "%s: REPEATS and BLOCKS must be 1 or more\n", argv[1]);
            return 2;
        }
        return profileFirst ? ProfileFirst("/dev/shm", argv[2], repeats, blocks)
                            : ProfileAgain("/dev/shm", argv[2], repeats, blocks);
    }
    if (argc == 3 && std::strcmp(argv[1], "--memory-child") == 0)
        return ConvertBigPage(argv[2]);
    std::vector<std::string> roots;
    bool memoryOnly = false;
    bool sharedStemOnly = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--memory-only") == 0)
            memoryOnly = true;
        else if (std::strcmp(argv[i], "--shared-stem-only") == 0)
            sharedStemOnly = true;
        else
            roots.emplace_back(argv[i]);
    }
    if (roots.empty())
        roots = {"/tmp", "/dev/shm"};

    WarmUp(roots.front(), "GIF");

    if (sharedStemOnly) {
        for (const std::string& root : roots)
            for (const char* format : {"GIF", "PNG"})
                MeasureSharedStem(root, format);
        return 0;
    }
    if (!memoryOnly) {
        for (const std::string& root : roots) {
            for (const char* format : {"GIF", "PNG"}) {
                const ScaleFigures small = Measure(root, format, 1000, false);
                const ScaleFigures large = Measure(root, format, 10000, true);
                std::printf("  growth x10 blocks: first %.2f x, again %.2f x\n\n", large.firstSeconds / small.firstSeconds,
                            large.againSeconds / small.againSeconds);
            }
            // After the cases above, which are so measured as the bench
            // before these cases measured them: placed between GIF and
            // PNG, the one-stem pages left the process so that the next
            // PNG first conversion ran some 20 % slower.
            for (const char* format : {"GIF", "PNG"})
                MeasureSharedStem(root, format);
        }
    }
    MeasureMemory(roots.front());
    return 0;
}
