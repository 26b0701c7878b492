#include "convert/file_cause.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "convert/conversion_settings.h"
#include "res/messages.h"

namespace sylpic {

std::string_view CauseReason(int cause)
{
    switch (cause) {
    case kCausePathTooLong: return kReasonPathTooLong;
    case kCauseDroppedPathTooLong: return kReasonDroppedPathTooLong;
    case kCauseNotRegularFile: return kReasonNotRegularFile;
    default: return std::strerror(cause);
    }
}

void ReportFileCause(ConversionLog& log, std::string_view path, int cause)
{
    if (cause != 0)
        log.ReportCause(path, CauseReason(cause));
}

int PageFileCause(const char* path, int openError)
{
    struct stat st;
    if (stat(path, &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;
    if (!S_ISREG(st.st_mode))
        return kCauseNotRegularFile;
    return openError;
}

}  // namespace sylpic
