// What the command line writes: when its output cannot be written, when
// several processes share it, and when it is given a wrong option.
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/test_support.h"

using namespace sylpic;

namespace {

// The exit status of `command` run by the shell in `dir`.
int Shell(const ScratchDir& dir, const std::string& command)
{
    const int raw = std::system(("cd '" + dir.path() + "' && " + command).c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(ConsoleOutputTest, AFailedWriteOrAWrongOptionEndsTheRunWithStatusTwoAndSaysWhy)
{
    ScratchDir dir;
    WriteWholeFile(dir / "sp_a.htm", "[[han]]");
    WriteWholeFile(dir / "sp_b.htm", "[[xyz]]");
    const std::string sylpic = "'" SYLPIC_BINARY_PATH "' --font NanumGothic ";
    EXPECT_EQ(Shell(dir, sylpic + "sp_a.htm sp_b.htm >/dev/full 2>err"), 2);
    EXPECT_EQ(ReadWholeFile(dir / "err"), "sylpic: write error: No space left on device\n");
    EXPECT_FALSE(FileExists(dir / "b.htm"));  // the run ended with the first page's line
    // Standard error failing ends it too, though nothing can tell why.
    EXPECT_EQ(Shell(dir, sylpic + "sp_b.htm sp_a.htm >out 2>/dev/full"), 2);
    EXPECT_EQ(ReadWholeFile(dir / "out"), dir / "b.htm　画像数 1, 作成数 1, エラー数 1\n");
    EXPECT_EQ(Shell(dir, sylpic + "--version >/dev/full"), 2);

    // A usage error: one line, and where to read more.
    EXPECT_EQ(Shell(dir, sylpic + "--foo sp_a.htm >out 2>err"), 2);
    EXPECT_EQ(ReadWholeFile(dir / "err"), "sylpic: unknown option '--foo'\nTry 'sylpic --help' for more information.\n");
}

// Over a socket that keeps each write a record of its own, so that every
// write the program makes can be told apart.
TEST(ConsoleOutputTest, EachLogLineIsWrittenWhole)
{
    ScratchDir dir;
    WriteWholeFile(dir / "sp_a.htm", "[[han]]");
    WriteWholeFile(dir / "sp_b.htm", "[[xyz]]");
    int ends[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_SEQPACKET, 0, ends), 0);
    const pid_t pid = fork();
    if (pid == 0) {
        if (dup2(ends[1], STDOUT_FILENO) < 0 || chdir(dir.path().c_str()) != 0)
            _exit(127);
        execl(SYLPIC_BINARY_PATH, "sylpic", "--quiet", "sp_a.htm", "sp_b.htm", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ends[1]);
    std::vector<std::string> writes;
    char record[4096];
    for (ssize_t n; (n = recv(ends[0], record, sizeof record, 0)) > 0;)
        writes.emplace_back(record, static_cast<std::size_t>(n));
    close(ends[0]);
    waitpid(pid, nullptr, 0);
    EXPECT_EQ(writes, (std::vector<std::string>{dir / "a.htm　画像数 1, 作成数 1, 正常終了\n",
                                                dir / "b.htm　画像数 1, 作成数 1, エラー数 1\n"}));
}

}  // namespace
