#pragma once
// The command line's writes to standard output and standard error.
//
//   WriteWhole(STDOUT_FILENO, line);       // one write(2) for the whole line
//   return FinishOutput(status);           // 2 when any write failed
//
// A line goes out in one write, so that the lines of processes that share
// one log file or pipe never interleave. The first failed write is kept:
// the run then ends with exit status 2 and "sylpic: write error: REASON" on
// standard error, where that can still be written.
#include <string_view>

namespace sylpic {

// Writes `bytes` to the file descriptor (1 or 2) in one call, after what
// the stream's stdio buffer still holds. False, with the failure kept, when
// not all of it could be written.
bool WriteWhole(int fd, std::string_view bytes);

// Whether a write to standard output or standard error has failed so far,
// through WriteWhole or through stdio.
bool OutputFailed();

// Flushes both streams and returns `status`, or 2 after a failed write, which
// is then told on standard error.
int FinishOutput(int status);

// Tells the failed write on standard error and ends the program with 2.
[[noreturn]] void EndAfterWriteError();

}  // namespace sylpic
