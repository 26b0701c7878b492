// The conversion run: pairs each dropped page with its "sp_" source page,
// makes the image folder, converts the page and logs one line for it.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "convert/conversion_run.h"
#include "convert/dir_search.h"
#include "convert/doubled_image.h"
#include "convert/file_cause.h"
#include "convert/image_folder_view.h"
#include "convert/leftover_files.h"
#include "convert/page_font.h"
#include "convert/page_scan.h"
#include "convert/run_tags.h"
#include "convert/path_parts.h"
#include "convert/source_page_pairing.h"
#include "convert/staged_file.h"
#include "hangul/ascii_text.h"
#include "imaging/web_font.h"
#include "res/messages.h"

namespace sylpic {

namespace {

// A dropped path keeps at most 255 characters, as a drop delivers it.
constexpr std::size_t kMaxDroppedPath = 255;

// Joins the parts into `to` (kMaxPath bytes); false when they do not fit,
// and then `to` holds as much as fits.
bool JoinPath(char (&to)[kMaxPath], std::initializer_list<std::string_view> parts)
{
    std::size_t length = 0;
    bool fits = true;
    for (std::string_view part : parts) {
        const std::size_t room = kMaxPath - 1 - length;
        const std::size_t taken = part.size() < room ? part.size() : room;
        std::memcpy(to + length, part.data(), taken);
        length += taken;
        fits = fits && taken == part.size();
    }
    to[length] = '\0';
    return fits;
}

// Any entry, a dangling link included.
bool EntryExists(const char* path)
{
    struct stat st;
    return lstat(path, &st) == 0;
}

bool IsRegularFile(const char* path)
{
    struct stat st;
    return stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

// An exclusive advisory lock on the image folder for the length of one page,
// so that processes converting pages beside each other never pick the same
// new name or read a key while it is written. Where the file system cannot
// lock, the page goes on without it: a new image is still created only under
// a name that no file has.
class ImageFolderLock {
public:
    explicit ImageFolderLock(const char* folder) : fd_(open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (fd_ < 0)
            return;
        int result;
        while ((result = flock(fd_, LOCK_EX)) != 0 && errno == EINTR) {
        }
        held_ = result == 0;
    }
    bool held() const { return held_; }
    ~ImageFolderLock()
    {
        if (fd_ >= 0)
            close(fd_);  // closing the only descriptor releases the lock
    }
    ImageFolderLock(const ImageFolderLock&) = delete;
    ImageFolderLock& operator=(const ImageFolderLock&) = delete;

private:
    int fd_;
    bool held_ = false;
};

// Temporary files that killed runs left, removed once per image folder in a
// run, and only under its lock: then no other run is writing them. The
// image folder's go as the page's view of it reads it, which a large folder
// makes worth listing once; the sweep is finished, if the page never read
// the folder, when the object AfterLock gives goes, which must be before
// the lock.
class LeftoverSweep {
public:
    struct Finish {
        Finish() = default;
        Finish(const Finish&) = delete;
        Finish& operator=(const Finish&) = delete;
        ~Finish() { FinishLeftoverSweep(); }
    };

    [[nodiscard]] Finish AfterLock(const ImageFolderLock& lock, const char* pageDir, const char* imageDir)
    {
        if (lock.held() && folders_.insert(imageDir).second) {
            RemoveLeftoverFiles(pageDir);
            SweepLeftoversWhenRead(imageDir);
            RemoveLeftoverFiles((std::string(imageDir) + kDoubledImageFolder).c_str());
        }
        return {};
    }

private:
    std::set<std::string> folders_;
};

// When error images are deleted: a drop cleans only its first page's image
// folder; a run that asks for it cleans each image folder once, before the
// first page that uses it.
class ErrorImageSweep {
public:
    explicit ErrorImageSweep(const ConversionSettings& settings) : settings_(settings) {}

    void BeforePage(const char* imageDir)
    {
        const bool firstPage = pages_++ == 0;
        const bool firstOfFolder = folders_.insert(imageDir).second;
        if (settings_.deleteErrorFiles && (settings_.deleteErrorsPerFolder ? firstOfFolder : firstPage)) {
            DeleteErrorImages(imageDir);
            DeleteErrorImages((std::string(imageDir) + kDoubledImageFolder).c_str());  // their 2x images
        }
    }

private:
    const ConversionSettings& settings_;
    int pages_ = 0;
    std::set<std::string> folders_;  // the image folders that pages have used
};

// Converts one dropped page. False after a fatal error, which is logged.
bool ConvertDroppedPage(ConversionRun& run, const std::string& dropped, ErrorImageSweep& sweep,
                        LeftoverSweep& leftovers)
{
    ConversionLog& log = run.log;
    auto stop = [&](int message) {
        log.LogMessage(message, true, true);
        return false;
    };
    // The same, with the file that failed and why.
    auto stopAt = [&](int message, std::string_view path, int cause) {
        log.LogMessage(message, true, true);
        ReportFileCause(log, path, cause);
        return false;
    };

    // A path that the buffers cannot hold whole would be cut and could
    // name another file: refuse the page as one that cannot be opened.
    if (dropped.size() > kMaxDroppedPath || dropped.find('\0') != std::string::npos) {
        log.LogText(dropped, false, true);
        const int cause = dropped.find('\0') != std::string::npos  ? EINVAL
                          : dropped.size() >= static_cast<std::size_t>(kMaxPath) ? kCausePathTooLong
                                                                                   : kCauseDroppedPathTooLong;
        return stopAt(IDS_CANNOT_OPEN, dropped, cause);
    }

    // 1. Page folder, name and extension of the dropped path.
    JoinPath(run.sourcePath, {dropped});
    JoinPath(run.pageDir, {GetPathPart(run.sourcePath, kPathDrive), GetPathPart(run.sourcePath, kPathFolder)});
    const std::string name = GetPathPart(run.sourcePath, kPathName);
    const std::string extension = GetPathPart(run.sourcePath, kPathExtension);

    auto refuse = [&] {
        // Its source page exists already: the user edits that one.
        log.ShowMessageBox(FormatEditSource(name, extension));
        return stop(IDS_NOT_PROCESSED);
    };
    bool firstDrop = false;
    int pairingError = 0;  // why no source page could be made of the page
    if (name.size() > 3 && StartsWithIgnoringCase(name, "sp_")) {
        // 2. A source page was dropped: the output page drops the prefix.
        JoinPath(run.outputPath, {run.pageDir, std::string_view(name).substr(3), extension});
        log.LogText(run.outputPath, false, true);
    } else {
        // 3. An output page was dropped (a file named exactly "sp_" too).
        JoinPath(run.outputPath, {dropped});
        const bool fits = JoinPath(run.sourcePath, {run.pageDir, "sp_", name, extension});
        log.LogText(run.outputPath, false, true);
        if (!fits)
            return stopAt(IDS_CANNOT_OPEN, std::string(run.pageDir) + "sp_" + name + extension, kCausePathTooLong);
        if (EntryExists(run.sourcePath))
            return refuse();
        // Only a page (a regular file, or a link to one) becomes a source
        // page: a folder or a FIFO dropped by mistake is refused as a page
        // that cannot be opened before anything is changed.
        if (!IsRegularFile(run.outputPath))
            return stopAt(IDS_CANNOT_OPEN, run.outputPath, PageFileCause(run.outputPath, 0));
        firstDrop = true;
    }

    // 4. The image folder beside the page, locked before a first drop makes
    // its source page, so that no other run pairs or converts the page
    // meanwhile.
    if (!JoinPath(run.imageDir, {run.pageDir, "hanimg/"}))
        return stopAt(IDS_CANNOT_OPEN, std::string(run.pageDir) + "hanimg/", kCausePathTooLong);
    run.imageDir[std::strlen(run.imageDir) - 1] = '\0';
    mkdir(run.imageDir, 0777);  // an existing folder, or any failure, is ignored
    const ImageFolderLock lock(run.imageDir);
    std::strcat(run.imageDir, "/");
    const LeftoverSweep::Finish finishSweep = leftovers.AfterLock(lock, run.pageDir, run.imageDir);

    if (firstDrop) {
        // First drop of this page: keep it as the source page. Owner read
        // and write are added so that the author can edit it. The page
        // itself stays until its converted page replaces it; a source page
        // that cannot be made shows as one that cannot be opened.
        struct stat st;
        if (lstat(run.outputPath, &st) == 0 && S_ISREG(st.st_mode))
            chmod(run.outputPath, (st.st_mode & 07777) | S_IRUSR | S_IWUSR);
        const SourcePagePairing pairing = PairSourcePage(run.outputPath, run.sourcePath, pairingError);
        if (pairing == SourcePagePairing::kTaken)
            return refuse();  // made since it was looked for: never replaced
    }

    // 5. Error images.
    sweep.BeforePage(run.imageDir);

    // 6. The source page: only a regular file is read, so a folder or a
    // FIFO is refused instead of read as empty or waited on.
    FILE* source = IsRegularFile(run.sourcePath) ? std::fopen(run.sourcePath, "rb") : nullptr;
    if (!source) {
        // A first drop whose source page could not be made names the
        // source page and the reason it could not be made.
        const int cause = pairingError != 0 ? pairingError : PageFileCause(run.sourcePath, errno);
        return stopAt(IDS_CANNOT_OPEN, run.sourcePath, cause);
    }

    // 7. The output page is written to a temporary file beside it and moved
    // into place only when complete, so a failure keeps the last good page.
    StagedFile output;
    if (!output.Open(run.outputPath, kStagedPagePrefix, firstDrop) || output.file() == nullptr) {
        std::fclose(source);
        return stopAt(IDS_CANNOT_CREATE, run.outputPath, output.Error());
    }

    // 8. Convert.
    PageJob page{run.settings, run.imageDir, log};
    page.diagnostics = run.diagnostics;
    page.sourcePath = run.sourcePath;
    page.webFont = run.webFont;
    const int result = ScanPage(page, source, output.file());
    std::fclose(source);
    std::memcpy(run.colours, page.colours, sizeof run.colours);
    run.imageCount = page.imageCount;
    run.createdCount = page.createdCount;

    // 9. Report. After a fatal error the page scanner has logged why.
    if (result < 0) {
        output.Discard();
        return false;
    }
    if (!output.Commit())
        return stopAt(IDS_CANNOT_CREATE, run.outputPath, output.Error());
    if (result == 0) {
        log.LogText(FormatPageDone(page.imageCount, page.createdCount), true, true);
    } else {
        log.LogText(FormatPageErrors(page.imageCount, page.createdCount, result), true, true);
        run.outcome = RunOutcome::kBlockErrors;
    }
    return true;
}

}  // namespace

void DeleteErrorImages(const char* folder)
{
    const std::string pattern = std::string(folder) + "_err_*.*";
    for (const std::string& name : FindMatchingFiles(pattern)) {
        if (!StartsWithIgnoringCase(name, "_err_"))
            break;
        const std::string path = std::string(folder) + name;
        unlink(path.c_str());  // failures are ignored
    }
}

void RunConversion(ConversionRun& run, const std::vector<std::string>& paths)
{
    run.outcome = RunOutcome::kAllClean;
    BeginImageRun(paths.size() > 1);
    BeginRunTags();
    // Real text: the faces are found, and their licences read, before any
    // file changes; a face that may not be subset stops the run here.
    WebFontFamily webFont;
    if (run.settings.realText) {
        if (!FindRunWebFont(run.settings.fontName, run.log, run.diagnostics, webFont)) {
            run.outcome = RunOutcome::kStopped;
            return;
        }
        run.webFont = &webFont;
    }
    ErrorImageSweep sweep(run.settings);
    LeftoverSweep leftovers;
    for (const std::string& path : paths) {
        if (!ConvertDroppedPage(run, path, sweep, leftovers)) {
            run.outcome = RunOutcome::kStopped;
            break;
        }
    }
    run.webFont = nullptr;
}

}  // namespace sylpic
