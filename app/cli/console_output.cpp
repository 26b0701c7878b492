#include "app/cli/console_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "app/cli/command_line.h"

namespace sylpic {

namespace {

int g_writeError = 0;  // errno of the first failed write; 0 while none has failed

void KeepFailure(int error)
{
    if (g_writeError == 0)
        g_writeError = error != 0 ? error : EIO;
}

std::FILE* StreamOf(int fd)
{
    return fd == STDERR_FILENO ? stderr : stdout;
}

// stdio keeps only that a write failed, not why: a failure it noticed is
// told as an I/O error unless a flush now gives the reason.
void CollectStdioFailures()
{
    if (std::fflush(stdout) != 0)
        KeepFailure(errno);
    if (std::ferror(stdout) || std::ferror(stderr))
        KeepFailure(EIO);
}

void TellWriteError()
{
    const std::string line = std::string("sylpic: write error: ") + std::strerror(g_writeError) + "\n";
    WriteWhole(STDERR_FILENO, line);  // when standard error failed too, nothing more can be done
}

}  // namespace

bool WriteWhole(int fd, std::string_view bytes)
{
    if (std::fflush(StreamOf(fd)) != 0) {
        KeepFailure(errno);
        return false;
    }
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            KeepFailure(written < 0 ? errno : EIO);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool OutputFailed()
{
    return g_writeError != 0 || std::ferror(stdout) || std::ferror(stderr);
}

int FinishOutput(int status)
{
    CollectStdioFailures();
    if (g_writeError == 0)
        return status;
    TellWriteError();
    return kExitStopped;
}

void EndAfterWriteError()
{
    CollectStdioFailures();
    TellWriteError();
    std::exit(kExitStopped);
}

}  // namespace sylpic
