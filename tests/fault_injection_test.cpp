// Faults injected under the real program: a disk that fills up, folders and
// files of the wrong kind where pages and images go, pages that vanish, and
// paths at and over the limits. In every case the run stops with the message
// it owes, the source page is unchanged, the last good output page and the
// last good images are kept, and no partial or temporary file is left.
//
// Root passes permission bits, so the cases that rest on them (a read-only
// image folder or page folder, an unreadable source page) run the program
// as the unprivileged user "nobody" when the tests run as root. Every other
// case needs no permission bits: a file-size limit, a file where a folder
// should be and the reverse, a FIFO, a dangling link, /dev/full.
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/convert_fixture.h"

using namespace sylpic;

namespace {

const std::string kCannotOpen = "　ファイルを開くことができませんでした\n";
const std::string kCannotCreate = "　ファイルを作ることができませんでした\n";

// The line the command line adds on standard error to a failure's log line.
std::string Cause(const std::string& path, const std::string& reason)
{
    return "sylpic: " + path + ": " + reason + "\n";
}

// The user and group "nobody", for runs that must not be root.
constexpr uid_t kNobody = 65534;

// The program as the user "nobody" can run it: a copy in a folder that every
// user may enter, since the build folder may lie under a private one (mode
// 0700, as folders made by mktemp -d and many home folders are). The program
// links only system libraries, so the copy runs as the original does.
const std::string& ProgramForEveryone()
{
    static const ScratchDir folder;
    static const std::string copy = [] {
        const std::string path = folder / "sylpic";
        std::filesystem::copy_file(SYLPIC_BINARY_PATH, path);
        chmod(folder.path().c_str(), 0755);
        chmod(path.c_str(), 0755);
        return path;
    }();
    return copy;
}

struct Result {
    int status;  // the exit status, or -1 when the program did not exit
    std::string out;
    std::string err;
};

// A block of 120 different syllables, whose image at size 36 runs to more
// than 5 KB even as PNG. The other blocks' images stay under 2 KB.
std::string LargeBlock()
{
    const char* initials[] = {"k", "n", "t", "r", "m", "p", "s", "j", "ch", "kh"};
    const char* vowels[] = {"a", "eo", "o", "u", "eu", "i", "ae", "e", "ya", "yeo", "yo", "yu"};
    std::string block;
    for (const char* initial : initials)
        for (const char* vowel : vowels)
            block += std::string(initial) + vowel + "-";
    return block;
}

class FaultInjectionTest : public ::testing::Test {
protected:
    // Runs sylpic in the scratch folder with `args` (NanumGothic first).
    // `fileSizeLimit` bytes, when given, is the largest file the program may
    // write; SIGXFSZ is ignored, so a write past it fails like one on a full
    // disk. An alarm ends a program that waits on something.
    Result Run(const std::vector<std::string>& args, long fileSizeLimit = -1)
    {
        return RunAs(args, fileSizeLimit, false);
    }

    // The same without root's privilege: as "nobody" when run as root, in a
    // scratch folder opened to every user. Permission bits then hold.
    Result RunUnprivileged(const std::vector<std::string>& args)
    {
        if (geteuid() == 0)
            OpenToEveryone(dir.path());
        return RunAs(args, -1, geteuid() == 0);
    }

    Result RunAs(const std::vector<std::string>& args, long fileSizeLimit, bool dropRoot)
    {
        const std::string outPath = logs.path() + "out";
        const std::string errPath = logs.path() + "err";
        const std::string program = dropRoot ? ProgramForEveryone() : SYLPIC_BINARY_PATH;
        const pid_t pid = fork();
        if (pid == 0) {
            const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(dir.path().c_str()) != 0)
                _exit(127);
            if (fileSizeLimit >= 0) {
                const rlimit limit{static_cast<rlim_t>(fileSizeLimit), static_cast<rlim_t>(fileSizeLimit)};
                signal(SIGXFSZ, SIG_IGN);
                if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
                    _exit(127);
            }
            if (dropRoot && (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
                _exit(127);
            alarm(120);
            std::vector<std::string> all = {program, "--font", "NanumGothic"};
            all.insert(all.end(), args.begin(), args.end());
            std::vector<char*> argv;
            for (std::string& a : all)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        int raw = 0;
        waitpid(pid, &raw, 0);
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWholeFile(outPath), ReadWholeFile(errPath)};
    }

    // Nothing but these names in `folder` (temporary files included).
    void ExpectOnly(const std::string& folder, std::vector<std::string> names)
    {
        std::sort(names.begin(), names.end());
        EXPECT_EQ(ListFolder(folder), names) << folder;
    }

    // Folders get rwx and files rw for everyone, except what a test made
    // read-only or unreadable (no write bit for the owner).
    static void OpenToEveryone(const std::string& path)
    {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0 || S_ISLNK(st.st_mode))
            return;
        if (!(st.st_mode & S_IWUSR) || !(st.st_mode & S_IRUSR))
            return;
        chmod(path.c_str(), S_ISDIR(st.st_mode) ? 0777 : 0666);
        if (S_ISDIR(st.st_mode))
            for (const std::string& name : ListFolder(path))
                OpenToEveryone(path + "/" + name);
    }

    ScratchDir dir;
    ScratchDir logs;
};

// --- a disk that fills up -------------------------------------------------

class DiskFullTest : public FaultInjectionTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(DiskFullTest, AnImageThatDoesNotFitStopsTheRunAndKeepsTheLastGoodFiles)
{
    const std::string format = GetParam();
    const std::string ext = format == "GIF" ? "gif" : format == "PNG" ? "png" : "xbm";
    // A good run: a small block and a small image under a fixed name.
    WriteWholeFile(dir / "sp_page.htm", "<p>[[han]] [[`n=big`han]]</p>");
    ASSERT_EQ(Run({"--size", "36", "--format", format, "sp_page.htm"}).status, 0);
    const std::string goodPage = ReadWholeFile(dir / "page.htm");
    const std::string goodBig = ReadWholeFile(dir / ("hanimg/big." + ext));
    ASSERT_FALSE(goodBig.empty());

    // The fixed name now gets an image larger than the disk has room for,
    // and the block before it is new too.
    const std::string source = "<p>[[gug]] [[`n=big`" + LargeBlock() + "]]</p>";
    WriteWholeFile(dir / "sp_page.htm", source);
    WriteWholeFile(dir / "sp_next.htm", "[[han]]");
    const Result r = Run({"--size", "36", "--format", format, "sp_page.htm", "sp_next.htm"}, 4000);

    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "page.htm" + kCannotCreate);
    // A PNG shows the box of a failed save, as libpng's own write error.
    EXPECT_EQ(r.err.find("保存に失敗しました\nエラーコード = 3\nWrite Error\n") != std::string::npos, format == "PNG")
        << r.err;
    EXPECT_TRUE(r.err.ends_with(Cause(dir / ("hanimg/big." + ext), "File too large"))) << r.err;
    EXPECT_EQ(ReadWholeFile(dir / "sp_page.htm"), source);
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), goodPage);
    EXPECT_EQ(ReadWholeFile(dir / ("hanimg/big." + ext)), goodBig);
    // The complete image made before the failure stays.
    ExpectOnly(dir / "hanimg", {"han." + ext, "big." + ext, "kuk." + ext});
    ExpectOnly(dir.path(), {"hanimg", "page.htm", "sp_page.htm", "sp_next.htm"});
}

INSTANTIATE_TEST_SUITE_P(EachFormat, DiskFullTest, ::testing::Values("GIF", "PNG", "XBM"));

TEST_F(FaultInjectionTest, AnOutputPageThatDoesNotFitKeepsTheLastGoodOne)
{
    WriteWholeFile(dir / "sp_page.htm", "<p>[[han]]</p>");
    ASSERT_EQ(Run({"sp_page.htm"}).status, 0);
    const std::string goodPage = ReadWholeFile(dir / "page.htm");

    const std::string source = "<p>[[han]]</p>" + std::string(20000, 'x');
    WriteWholeFile(dir / "sp_page.htm", source);
    const Result r = Run({"sp_page.htm"}, 8192);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "page.htm" + kCannotCreate);
    EXPECT_EQ(r.err, Cause(dir / "page.htm", "File too large"));
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), goodPage);
    EXPECT_EQ(ReadWholeFile(dir / "sp_page.htm"), source);
    ExpectOnly(dir.path(), {"hanimg", "page.htm", "sp_page.htm"});
    ExpectOnly(dir / "hanimg", {"han.gif"});
}

// --- the image folder -----------------------------------------------------

TEST_F(FaultInjectionTest, AFileWhereTheImageFolderShouldBe)
{
    WriteWholeFile(dir / "hanimg", "not a folder");
    WriteWholeFile(dir / "sp_page.htm", "<p>[[han]]</p>");
    WriteWholeFile(dir / "page.htm", "last good");
    const Result r = Run({"sp_page.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "page.htm" + kCannotCreate);
    EXPECT_EQ(r.err, Cause(dir / "hanimg/han.gif", "Not a directory"));  // the image, not the page
    EXPECT_EQ(ReadWholeFile(dir / "hanimg"), "not a folder");
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), "last good");
    ExpectOnly(dir.path(), {"hanimg", "page.htm", "sp_page.htm"});
}

TEST_F(FaultInjectionTest, AReadOnlyImageFolder)
{
    mkdir((dir / "hanimg").c_str(), 0777);
    chmod((dir / "hanimg").c_str(), 0555);
    WriteWholeFile(dir / "sp_page.htm", "<p>[[han]]</p>");
    WriteWholeFile(dir / "page.htm", "last good");
    Result r = RunUnprivileged({"sp_page.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "page.htm" + kCannotCreate);
    EXPECT_EQ(r.err, Cause(dir / "hanimg/han.gif", "Permission denied"));
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), "last good");
    ExpectOnly(dir / "hanimg", {});

    // A 2x image, and a web font, that cannot be made name their own files.
    chmod((dir / "hanimg").c_str(), 0777);
    mkdir((dir / "hanimg/2x").c_str(), 0555);
    r = RunUnprivileged({"--hidpi", "sp_page.htm"});
    EXPECT_EQ(r.err, Cause(dir / "hanimg/2x/han.gif", "Permission denied"));
    chmod((dir / "hanimg/2x").c_str(), 0777);
    chmod((dir / "hanimg").c_str(), 0555);
    r = RunUnprivileged({"--real-text", "sp_page.htm"});
    EXPECT_TRUE(r.err.starts_with("sylpic: " + dir / "hanimg/sylpic-") &&
                r.err.ends_with(".woff2: Permission denied\n")) << r.err;
    EXPECT_EQ(r.out, dir / "page.htm" + kCannotCreate);

    // The same user converts the page once the folder takes files.
    chmod((dir / "hanimg").c_str(), 0777);
    EXPECT_EQ(RunUnprivileged({"sp_page.htm"}).status, 0);
    ExpectOnly(dir / "hanimg", {"2x", "han.gif"});
}

TEST_F(FaultInjectionTest, AFixedNameTakenByAFolderOrALink)
{
    // A folder at the fixed name: the image cannot be made, the folder stays.
    mkdir((dir / "hanimg").c_str(), 0777);
    mkdir((dir / "hanimg/top.gif").c_str(), 0777);
    WriteWholeFile(dir / "sp_page.htm", "[[`n=top`han]]");
    Result r = Run({"sp_page.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "page.htm" + kCannotCreate);
    struct stat st;
    EXPECT_TRUE(stat((dir / "hanimg/top.gif").c_str(), &st) == 0 && S_ISDIR(st.st_mode));
    EXPECT_FALSE(FileExists(dir / "page.htm"));
    ExpectOnly(dir / "hanimg", {"top.gif"});

    // A link at the fixed name: the link is replaced, never written through.
    rmdir((dir / "hanimg/top.gif").c_str());
    WriteWholeFile(dir / "outside.gif", "the author's own file");
    ASSERT_EQ(symlink("../outside.gif", (dir / "hanimg/top.gif").c_str()), 0);
    r = Run({"sp_page.htm"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(ReadWholeFile(dir / "outside.gif"), "the author's own file");
    ASSERT_EQ(lstat((dir / "hanimg/top.gif").c_str(), &st), 0);
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_EQ(ReadWholeFile(dir / "hanimg/top.gif").substr(0, 6), "GIF89a");
}

TEST_F(FaultInjectionTest, AFifoInTheImageFolderIsNeverWaitedOn)
{
    mkdir((dir / "hanimg").c_str(), 0777);
    ASSERT_EQ(mkfifo((dir / "hanimg/han.gif").c_str(), 0666), 0);
    WriteWholeFile(dir / "sp_page.htm", "[[han]]");
    const Result r = Run({"sp_page.htm"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), "<img src=\"./hanimg/han1.gif\">");
}

// --- the output page ------------------------------------------------------

TEST_F(FaultInjectionTest, AnOutputPageThatCannotBeWritten)
{
    WriteWholeFile(dir / "sp_page.htm", "[[han]]");
    // A link to a device that takes no byte: refused, the link kept.
    ASSERT_EQ(symlink("/dev/full", (dir / "page.htm").c_str()), 0);
    Result r = Run({"sp_page.htm", "sp_page.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "page.htm" + kCannotCreate);  // one line: the run stopped
    EXPECT_EQ(r.err, Cause(dir / "page.htm", "not a regular file"));
    char target[64] = {};
    EXPECT_EQ(readlink((dir / "page.htm").c_str(), target, sizeof target - 1), 9);
    EXPECT_STREQ(target, "/dev/full");
    EXPECT_EQ(ReadWholeFile(dir / "sp_page.htm"), "[[han]]");

    // A folder at the output page's name.
    unlink((dir / "page.htm").c_str());
    mkdir((dir / "page.htm").c_str(), 0777);
    r = Run({"sp_page.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "page.htm" + kCannotCreate);
    EXPECT_EQ(r.err, Cause(dir / "page.htm", "Is a directory"));
    ExpectOnly(dir.path(), {"hanimg", "page.htm", "sp_page.htm"});
}

TEST_F(FaultInjectionTest, APageFolderThatTakesNoNewFile)
{
    mkdir((dir / "pages").c_str(), 0777);
    mkdir((dir / "pages/hanimg").c_str(), 0777);
    WriteWholeFile(dir / "pages/sp_page.htm", "[[han]]");
    WriteWholeFile(dir / "pages/page.htm", "last good");
    if (geteuid() == 0)
        OpenToEveryone(dir.path());
    chmod((dir / "pages").c_str(), 0555);
    Result r = RunUnprivileged({"pages/sp_page.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "pages/page.htm" + kCannotCreate);
    EXPECT_EQ(r.err, Cause(dir / "pages/page.htm", "Permission denied"));
    EXPECT_EQ(ReadWholeFile(dir / "pages/page.htm"), "last good");
    ExpectOnly(dir / "pages", {"hanimg", "page.htm", "sp_page.htm"});

    // A first drop there: no source page can be made of the page.
    chmod((dir / "pages").c_str(), 0777);
    WriteWholeFile(dir / "pages/first.htm", "[[han]]");
    chmod((dir / "pages/first.htm").c_str(), 0666);
    chmod((dir / "pages").c_str(), 0555);
    r = RunUnprivileged({"pages/first.htm"});
    EXPECT_EQ(r.out, dir / "pages/first.htm" + kCannotOpen);
    EXPECT_EQ(r.err, Cause(dir / "pages/sp_first.htm", "Permission denied"));
    EXPECT_EQ(ReadWholeFile(dir / "pages/first.htm"), "[[han]]");
}

// --- the source page ------------------------------------------------------

TEST_F(FaultInjectionTest, ASourcePageThatVanishedOrCannotBeRead)
{
    Result r = Run({"sp_gone.htm", "sp_next.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "gone.htm" + kCannotOpen);
    EXPECT_EQ(r.err, Cause(dir / "sp_gone.htm", "No such file or directory"));

    // A first drop of a page that is not there renames nothing.
    r = Run({"gone.htm"});
    EXPECT_EQ(r.out, dir / "gone.htm" + kCannotOpen);
    EXPECT_EQ(r.err, Cause(dir / "gone.htm", "No such file or directory"));

    // A dangling link as the source page stays as it is.
    ASSERT_EQ(symlink("nowhere.htm", (dir / "sp_page.htm").c_str()), 0);
    WriteWholeFile(dir / "page.htm", "last good");
    r = Run({"sp_page.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "page.htm" + kCannotOpen);
    EXPECT_EQ(r.err, Cause(dir / "sp_page.htm", "No such file or directory"));
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), "last good");
    struct stat st;
    EXPECT_TRUE(lstat((dir / "sp_page.htm").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_FALSE(FileExists(dir / "next.htm"));
}

TEST_F(FaultInjectionTest, AnUnreadableSourcePage)
{
    WriteWholeFile(dir / "sp_page.htm", "[[han]]");
    chmod((dir / "sp_page.htm").c_str(), 0);
    WriteWholeFile(dir / "page.htm", "last good");
    const Result r = RunUnprivileged({"sp_page.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "page.htm" + kCannotOpen);
    EXPECT_EQ(r.err, Cause(dir / "sp_page.htm", "Permission denied"));
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), "last good");
}

TEST_F(FaultInjectionTest, APageThatIsAFolderOrAFifoIsRefusedNotWaitedOn)
{
    // Dropped as source pages.
    mkdir((dir / "sp_folder.htm").c_str(), 0777);
    ASSERT_EQ(mkfifo((dir / "sp_fifo.htm").c_str(), 0666), 0);
    Result r = Run({"sp_folder.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "folder.htm" + kCannotOpen);
    EXPECT_EQ(r.err, Cause(dir / "sp_folder.htm", "Is a directory"));
    r = Run({"sp_fifo.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "fifo.htm" + kCannotOpen);
    EXPECT_EQ(r.err, Cause(dir / "sp_fifo.htm", "not a regular file"));

    // Dropped for the first time: refused before the rename.
    mkdir((dir / "dir.htm").c_str(), 0777);
    ASSERT_EQ(mkfifo((dir / "pipe.htm").c_str(), 0666), 0);
    r = Run({"dir.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "dir.htm" + kCannotOpen);
    EXPECT_EQ(r.err, Cause(dir / "dir.htm", "Is a directory"));
    r = Run({"pipe.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "pipe.htm" + kCannotOpen);
    EXPECT_EQ(r.err, Cause(dir / "pipe.htm", "not a regular file"));
    ExpectOnly(dir.path(), {"dir.htm", "hanimg", "pipe.htm", "sp_fifo.htm", "sp_folder.htm"});
}

// --- the settings file ----------------------------------------------------

TEST_F(FaultInjectionTest, ASettingsFileThatIsAFifoOrAFolderIsNotWaitedOn)
{
    WriteWholeFile(dir / "sp_page.htm", "[[han]]");
    ASSERT_EQ(mkfifo((dir / "sylpic.ini").c_str(), 0666), 0);
    Result r = Run({"sp_page.htm"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(FileExists(dir / "hanimg/han.gif"));  // the default format

    unlink((dir / "sylpic.ini").c_str());
    mkdir((dir / "sylpic.ini").c_str(), 0777);
    r = Run({"--format", "png", "sp_page.htm"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(FileExists(dir / "hanimg/han.png"));
}

// --- drops ----------------------------------------------------------------

TEST_F(FaultInjectionTest, TheSamePageDroppedTwiceInOneDrop)
{
    // As the output page: the second is now refused, its source exists.
    WriteWholeFile(dir / "page.htm", "<p>[[han]]</p>");
    Result r = Run({"page.htm", "page.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "page.htm" + "　画像数 1, 作成数 1, 正常終了\n" + dir / "page.htm" + "　処理しませんでした\n");
    EXPECT_NE(r.err.find("page.htm ではなく、sp_page.htm を修正・編集して入力して下さい。"), std::string::npos);
    EXPECT_EQ(ReadWholeFile(dir / "sp_page.htm"), "<p>[[han]]</p>");
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), "<p><img src=\"./hanimg/han.gif\"></p>");

    // As the source page: converted twice, the second time reusing.
    r = Run({"sp_page.htm", "sp_page.htm"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, dir / "page.htm" + "　画像数 1, 作成数 0, 正常終了\n" + dir / "page.htm" +
                         "　画像数 1, 作成数 0, 正常終了\n");
    ExpectOnly(dir / "hanimg", {"han.gif"});
}

TEST_F(FaultInjectionTest, APageReachedThroughALink)
{
    // Through a linked folder: the page is converted in the real folder.
    mkdir((dir / "real").c_str(), 0777);
    ASSERT_EQ(symlink("real", (dir / "linked").c_str()), 0);
    WriteWholeFile(dir / "real/sp_page.htm", "[[han]]");
    Result r = Run({"linked/sp_page.htm"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(ReadWholeFile(dir / "real/page.htm"), "<img src=\"./hanimg/han.gif\">");
    EXPECT_TRUE(FileExists(dir / "real/hanimg/han.gif"));

    // A page that is a link to the author's file elsewhere: the link becomes
    // the source page, the file it names is never changed, and the output
    // page is written beside the link.
    mkdir((dir / "elsewhere").c_str(), 0777);
    WriteWholeFile(dir / "elsewhere/original.htm", "[[gug]]");
    ASSERT_EQ(symlink("../elsewhere/original.htm", (dir / "real/other.htm").c_str()), 0);
    r = Run({"real/other.htm"});
    EXPECT_EQ(r.status, 0) << r.out;
    struct stat st;
    EXPECT_TRUE(lstat((dir / "real/sp_other.htm").c_str(), &st) == 0 && S_ISLNK(st.st_mode));
    EXPECT_TRUE(lstat((dir / "real/other.htm").c_str(), &st) == 0 && S_ISREG(st.st_mode));
    EXPECT_EQ(ReadWholeFile(dir / "real/other.htm"), "<img src=\"./hanimg/kuk.gif\">");
    EXPECT_EQ(ReadWholeFile(dir / "elsewhere/original.htm"), "[[gug]]");
    ExpectOnly(dir / "elsewhere", {"original.htm"});
}

// --- paths at and over the limits ------------------------------------------

TEST_F(FaultInjectionTest, DroppedPathsAtAndOverTheLimit)
{
    // A dropped path keeps at most 255 characters.
    const std::size_t fixedPart = dir.path().size() + std::string("sp_.htm").size();
    ASSERT_LT(fixedPart, 200u);
    const std::string atLimit = dir / ("sp_" + std::string(255 - fixedPart, 'p') + ".htm");
    const std::string overLimit = dir / ("sp_" + std::string(256 - fixedPart, 'q') + ".htm");
    ASSERT_EQ(atLimit.size(), 255u);
    WriteWholeFile(atLimit, "[[han]]");
    WriteWholeFile(overLimit, "[[han]]");

    Result r = Run({atLimit});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(ReadWholeFile(dir / (std::string(255 - fixedPart, 'p') + ".htm")), "<img src=\"./hanimg/han.gif\">");

    // Refused, not cut, and the run stops there.
    r = Run({overLimit, atLimit});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, overLimit + kCannotOpen);
    EXPECT_EQ(r.err, Cause(overLimit, "path longer than 255 bytes"));
    EXPECT_FALSE(FileExists(dir / (std::string(256 - fixedPart, 'q') + ".htm")));
    const std::string overPathLimit = dir / ("sp_" + std::string(260 - fixedPart, 'q') + ".htm");
    r = Run({overPathLimit});
    EXPECT_EQ(r.err, Cause(overPathLimit, "path longer than 259 bytes"));

    // First drop of a page of 255 characters: its source name takes 258.
    const std::string page = dir / (std::string(255 - dir.path().size() - 4, 'r') + ".htm");
    ASSERT_EQ(page.size(), 255u);
    WriteWholeFile(page, "[[han]]");
    r = Run({page});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(ReadWholeFile(dir / ("sp_" + std::string(255 - dir.path().size() - 4, 'r') + ".htm")), "[[han]]");
}

TEST_F(FaultInjectionTest, ImagePathsAtAndOverTheLimit)
{
    // An image path holds at most 259 characters: folder, name, ".gif".
    const std::size_t room = 259 - (dir.path().size() + std::string("hanimg/.gif").size());
    WriteWholeFile(dir / "sp_page.htm", "[[`n=" + std::string(room, 'a') + "`han]]");
    Result r = Run({"sp_page.htm"});
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_TRUE(FileExists(dir / ("hanimg/" + std::string(room, 'a') + ".gif")));
    const std::string goodPage = ReadWholeFile(dir / "page.htm");

    const std::string source = "[[`n=" + std::string(room + 1, 'b') + "`han]]";
    WriteWholeFile(dir / "sp_page.htm", source);
    r = Run({"sp_page.htm"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "page.htm" + kCannotCreate);
    EXPECT_EQ(r.err, Cause(dir / ("hanimg/" + std::string(room + 1, 'b') + ".gif"), "path longer than 259 bytes"));
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), goodPage);
    EXPECT_EQ(ReadWholeFile(dir / "sp_page.htm"), source);
    ExpectOnly(dir / "hanimg", {std::string(room, 'a') + ".gif"});
}

// --- what one image holds, and a change of resolution ---------------------

TEST_F(FaultInjectionTest, ABlockPastWhatAnImageHoldsIsToldAndDrawnAsBefore)
{
    std::string fits;
    for (int i = 0; i < 128; ++i)
        fits += "han-";
    WriteWholeFile(dir / "sp_page.htm", "[[" + fits + "]]\n[[" + fits + "han-han]]");
    const Result r = Run({"sp_page.htm"});
    EXPECT_EQ(r.status, 0);
    // The 128 syllables that fit make the image and key of both blocks.
    const std::vector<std::string> images = ListFolder(dir / "hanimg");
    ASSERT_EQ(images.size(), 2u);
    EXPECT_EQ(ReadWholeFile(dir / "hanimg/" + images[0]), ReadWholeFile(dir / "hanimg/" + images[1]));
    EXPECT_EQ(r.err.find(":1:1:"), std::string::npos) << r.err;
    EXPECT_TRUE(r.err.starts_with(dir / "sp_page.htm" + ":2:1: warning: [[han-han-")) << r.err;
    EXPECT_TRUE(r.err.ends_with("]]: an image holds 256 bytes of text (128 Korean characters): 2 characters, from "
                                "the 129th on, are not drawn (split the block)\n"))
        << r.err;
}

TEST_F(FaultInjectionTest, AnImageReusedAtAnotherResolutionGetsItsOwn2xImageAndOffset)
{
    // The same page converted at 96 dpi with 2x images and sizes, and at 96
    // dpi without them, then again at 120 dpi with them, reusing its images.
    const std::string page = "<p>[[han-gug-eo]] [[seo-ul]]</p>";
    for (const char* folder : {"fresh", "reused"}) {
        mkdir((dir / folder).c_str(), 0777);
        WriteWholeFile(dir / folder + "/sp_page.htm", page);
    }
    ASSERT_EQ(Run({"--hidpi", "--dimensions", "fresh/sp_page.htm"}).status, 0);
    ASSERT_EQ(Run({"reused/sp_page.htm"}).status, 0);
    Result r = Run({"--dpi", "120", "--hidpi", "--dimensions", "reused/sp_page.htm"});
    EXPECT_EQ(r.out, dir / "reused/page.htm" + "　画像数 2, 作成数 0, 正常終了\n");
    EXPECT_EQ(ReadWholeFile(dir / "reused/page.htm"), ReadWholeFile(dir / "fresh/page.htm"));
    for (const char* image : {"hankuk.gif", "seoul.gif"})
        EXPECT_EQ(ReadWholeFile(dir / "reused/hanimg/2x/" + image), ReadWholeFile(dir / "fresh/hanimg/2x/" + image));

    // An image whose size no em of the face gives (its width was changed):
    // no 2x image, no srcset and no offset for it, and a warning.
    std::filesystem::remove(dir / "reused/hanimg/2x/seoul.gif");
    std::string seoul = ReadWholeFile(dir / "reused/hanimg/seoul.gif");
    ++seoul[6];  // the logical screen's width
    WriteWholeFile(dir / "reused/hanimg/seoul.gif", seoul);
    r = Run({"--dpi", "120", "--hidpi", "--dimensions", "reused/sp_page.htm"});
    EXPECT_EQ(r.status, 0);
    const std::string written = ReadWholeFile(dir / "reused/page.htm");
    const std::string fresh = ReadWholeFile(dir / "fresh/page.htm");
    EXPECT_EQ(written.substr(0, written.find(" <img")), fresh.substr(0, fresh.find(" <img")));
    EXPECT_EQ(written.substr(written.find(" <img")), " <img src=\"./hanimg/seoul.gif\" width=\"31\" height=\"19\"></p>");
    EXPECT_FALSE(FileExists(dir / "reused/hanimg/2x/seoul.gif"));
    EXPECT_NE(r.err.find("warning: [[seo-ul]]: reuses hanimg/seoul.gif, 31x19, which no size of the face draws so"),
              std::string::npos)
        << r.err;
}

}  // namespace
