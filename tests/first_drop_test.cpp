// The first drop of a page under faults: a conversion that fails, and a
// source page that another process makes while the run is about to make it;
// and a new image whose free name is taken while the run is about to give
// it that name. The program is traced, and stopped on entry to the call that
// would put a file at the name, while the other process writes it.
#include <fcntl.h>
#include <sys/ptrace.h>
#include <sys/syscall.h>
#include <sys/user.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "convert/deferred_closes.h"
#include "convert/whole_image_file.h"
#include "tests/convert_fixture.h"

using namespace sylpic;

namespace {

using SyscallInfo = __ptrace_syscall_info;

// The path argument `index` of the stopped call, read from the program.
std::string PathArgument(pid_t pid, const SyscallInfo& call, int index)
{
    char path[4096] = {};
    const std::string memory = "/proc/" + std::to_string(pid) + "/mem";
    const int fd = open(memory.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        if (pread(fd, path, sizeof path - 1, static_cast<off_t>(call.entry.args[index])) < 0)
            path[0] = '\0';
        close(fd);
    }
    return path;
}

// The name that the call stopped at, on entry, would make: the new name of
// a rename or a link.
std::string NameMade(pid_t pid, const SyscallInfo& call)
{
    switch (call.entry.nr) {
#ifdef SYS_rename
    case SYS_rename:
    case SYS_link: return PathArgument(pid, call, 1);
#endif
    case SYS_renameat:
    case SYS_renameat2:
    case SYS_linkat: return PathArgument(pid, call, 3);
    default: return "";
    }
}

// Runs sylpic in `dir`; `meanwhile` runs while the program (`pid`) is
// stopped before making `name` by a rename or a link, the first `times`
// times it tries. `name` is the end of the name as the call gives it: a
// path, or a name in a folder open (as images are linked).
RunResult RunStoppedBefore(const ScratchDir& dir, std::vector<std::string> args, const std::string& name,
                           const std::function<void(pid_t pid)>& meanwhile, int times = 1)
{
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open((dir / ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        const int err = open((dir / ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(dir.path().c_str()) != 0)
            _exit(127);
        setenv("ASAN_OPTIONS", "detect_leaks=0", 1);  // the leak check cannot run traced
        args.insert(args.begin(), SYLPIC_BINARY_PATH);
        std::vector<char*> argv;
        for (std::string& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        ptrace(PTRACE_TRACEME, 0, nullptr, nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    int raw = 0;
    waitpid(pid, &raw, 0);  // stopped at the exec
    ptrace(PTRACE_SETOPTIONS, pid, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    bool done = false;
    int signal = 0;
    while (ptrace(PTRACE_SYSCALL, pid, nullptr, reinterpret_cast<void*>(static_cast<long>(signal))) == 0 && waitpid(pid, &raw, 0) == pid && WIFSTOPPED(raw)) {
        signal = WSTOPSIG(raw) == (SIGTRAP | 0x80) ? 0 : WSTOPSIG(raw);
        SyscallInfo call{};
        if (signal == 0 && !done &&
            ptrace(PTRACE_GET_SYSCALL_INFO, pid, sizeof call, &call) > 0 && call.op == PTRACE_SYSCALL_INFO_ENTRY) {
            const std::string made = NameMade(pid, call);
            if (made.size() >= name.size() && made.compare(made.size() - name.size(), name.size(), name) == 0) {
                meanwhile(pid);
                done = --times == 0;
            }
        }
    }
    EXPECT_TRUE(done) << "the program never made " << name;
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadWholeFile(dir / ".out"), ReadWholeFile(dir / ".err")};
}

TEST(FirstDropTest, APageIsNeverLostAndASourcePageNeverReplaced)
{
    ScratchDir dir;
    // The first image cannot be made: a file stands where the image folder
    // goes. The page stays as it was, beside its source page.
    WriteWholeFile(dir / "hanimg", "a file");
    WriteWholeFile(dir / "page.htm", "<p>[[han]]</p>");
    RunResult r = RunSylpic(dir, "--font NanumGothic page.htm");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "page.htm" + "　ファイルを作ることができませんでした\n");
    EXPECT_EQ(r.err, "sylpic: " + dir / "hanimg/han.gif" + ": Not a directory\n");  // the image, not the page
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), "<p>[[han]]</p>");
    EXPECT_EQ(ReadWholeFile(dir / "sp_page.htm"), "<p>[[han]]</p>");

    // Another process writes the source page just before the run would
    // make it: the run refuses the page, and both files stay as they are.
    WriteWholeFile(dir / "x.htm", "[[han]]");
    r = RunStoppedBefore(dir, {"--font", "NanumGothic", "x.htm"}, "sp_x.htm",
                         [&](pid_t) { WriteWholeFile(dir / "sp_x.htm", "hand-written"); });
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, dir / "x.htm" + "　処理しませんでした\n");
    EXPECT_EQ(ReadWholeFile(dir / "sp_x.htm"), "hand-written");
    EXPECT_EQ(ReadWholeFile(dir / "x.htm"), "[[han]]");
}

TEST(FreeImageNameTest, ANameTakenMeanwhileGoesToTheNextNumberAndAFailedLinkToAStagedFile)
{
    // Another process takes han.gif just before the run links its image
    // there: the run takes han1.gif, and the other file stays as it is.
    ScratchDir dir;
    WriteWholeFile(dir / "sp_page.htm", "[[han]]");
    RunResult r = RunStoppedBefore(dir, {"--font", "NanumGothic", "sp_page.htm"}, "han.gif",
                                   [&](pid_t) { WriteWholeFile(dir / "hanimg/han.gif", "another's"); });
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadWholeFile(dir / "hanimg/han.gif"), "another's");
    EXPECT_EQ(ReadWholeFile(dir / "page.htm"), "<img src=\"./hanimg/han1.gif\">");
    EXPECT_TRUE(IsWholeImageFile((dir / "hanimg/han1.gif").c_str(), kFormatGif));

#if defined(__x86_64__)
    // Both calls that would name the image fail (skipped, as a link of the
    // descriptor fails on an older kernel and one from /proc where it is
    // not mounted): the image takes its name through a named staged file,
    // which leaves nothing behind.
    ScratchDir other;
    WriteWholeFile(other / "sp_page.htm", "[[han]]");
    r = RunStoppedBefore(other, {"--font", "NanumGothic", "sp_page.htm"}, "han.gif", [](pid_t pid) {
        user_regs_struct regs{};
        ptrace(PTRACE_GETREGS, pid, nullptr, &regs);
        regs.orig_rax = static_cast<unsigned long long>(-1);  // no call: it returns ENOSYS
        ptrace(PTRACE_SETREGS, pid, nullptr, &regs);
    }, 2);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(IsWholeImageFile((other / "hanimg/han.gif").c_str(), kFormatGif));
    EXPECT_EQ(ListFolder(other / "hanimg"), std::vector<std::string>{"han.gif"});
#endif
}

// Images' descriptors are closed together, later. Only the ones held are
// closed, wherever their numbers fall, and none outlives its page.
TEST(DeferredClosesTest, ClosesOnlyWhatItHolds)
{
    const auto isOpen = [](int fd) { return fcntl(fd, F_GETFD) != -1; };
    std::vector<int> fds;
    for (int i = 0; i < 40; ++i)
        fds.push_back(open("/dev/null", O_RDONLY | O_CLOEXEC));
    {
        DeferredCloses closes;
        for (int i = 0; i < 40; ++i)
            if (i % 7 != 3)
                closes.Hold(fds[i]);
        EXPECT_FALSE(isOpen(fds[0]));  // more than it holds: the first ones went
        EXPECT_TRUE(isOpen(fds[39]));
    }
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(isOpen(fds[i]), i % 7 == 3) << i;
        if (i % 7 == 3)
            close(fds[i]);
    }
}

class ImageDescriptorTest : public ConvertFixture {};

TEST_F(ImageDescriptorTest, NoneIsLeftOpenWhenThePageEnds)
{
    const auto openCount = [] {
        return std::distance(std::filesystem::directory_iterator("/proc/self/fd"), {});
    };
    Convert("[[a]]", "warm.htm");  // the font's files stay open
    const auto before = openCount();
    Convert("[[han]] [[kuk]] [[ma-eum]] [[sa-rang]]");
    EXPECT_EQ(Images().size(), 5u);
    EXPECT_EQ(openCount(), before);
    Convert("[[han]] [[kuk]] [[ma-eum]] [[sa-rang]]");  // every image read again
    EXPECT_EQ(Images().size(), 5u);
    EXPECT_EQ(openCount(), before);
}

}  // namespace
