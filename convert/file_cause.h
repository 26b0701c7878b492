#pragma once
// Why a file could not be used, told beside the log line's message: the
// command line prints "sylpic: PATH: REASON" for each failure. A cause is
// the errno at the point of failure, or one of the program's own reasons.
#include <string_view>

namespace sylpic {

class ConversionLog;

// Causes beside the errno values (which are all positive).
inline constexpr int kCausePathTooLong = -1;         // the path takes more than 259 bytes
inline constexpr int kCauseDroppedPathTooLong = -2;  // a given page's path takes more than 255 bytes
inline constexpr int kCauseNotRegularFile = -3;      // a FIFO, a device or a socket where a file must be

// The reason's text: the system's error text, or the program's own.
std::string_view CauseReason(int cause);

// Tells `log` that the file at `path` failed for `cause`; nothing for 0.
void ReportFileCause(ConversionLog& log, std::string_view path, int cause);

// Why the page at `path` cannot be read as a page: the error of stat,
// EISDIR for a folder, kCauseNotRegularFile for anything else not a
// regular file, else `openError` (the error of opening it).
int PageFileCause(const char* path, int openError);

}  // namespace sylpic
