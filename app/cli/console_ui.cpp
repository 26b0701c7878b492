#include "app/cli/console_ui.h"

#include <unistd.h>

#include <algorithm>
#include <string>

#include "app/cli/console_output.h"

namespace sylpic {

namespace {

// The text with each CR LF turned into the terminal's "\n".
std::string TerminalLines(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i];
    }
    return out;
}

// Whether the progress line stands on the terminal: any other line takes
// it away first.
bool g_progressShown = false;

void ClearProgress()
{
    if (g_progressShown)
        WriteWhole(STDERR_FILENO, "\r\033[K");
    g_progressShown = false;
}

void WriteLines(int fd, std::string_view text)
{
    ClearProgress();
    WriteWhole(fd, TerminalLines(text));
}

}  // namespace

void ConsoleUi::LogAppended(std::string_view text)
{
    // A CR LF may come split over two calls: gather first, then convert.
    pendingLine_ += text;
    const std::size_t end = pendingLine_.rfind('\n');
    if (end == std::string::npos)
        return;
    const std::string_view lines = std::string_view(pendingLine_).substr(0, end + 1);
    WriteLines(STDOUT_FILENO, lines);
    if (progressTotal_ > 1) {
        pagesDone_ += static_cast<int>(std::count(lines.begin(), lines.end(), '\n'));
        WriteWhole(STDERR_FILENO, "\rsylpic: " + std::to_string(std::min(pagesDone_, progressTotal_)) + "/" +
                                      std::to_string(progressTotal_) + " pages");
        g_progressShown = true;
    }
    pendingLine_.erase(0, end + 1);
    if (OutputFailed())
        EndAfterWriteError();
}

void ConsoleUi::LogReplaced(std::string_view text)
{
    LogAppended(text);
}

void ConsoleUi::Flush()
{
    if (!pendingLine_.empty())
        WriteLines(STDOUT_FILENO, pendingLine_);
    pendingLine_.clear();
    ClearProgress();
}

void ConsoleDiagnostics::Report(const BlockDiagnostic& diagnostic)
{
    WriteLines(STDERR_FILENO, FormatBlockDiagnostic(diagnostic) + "\n");
}

void ConsoleDiagnostics::Warn(std::string_view text)
{
    WriteLines(STDERR_FILENO, "sylpic: warning: " + std::string(text) + "\n");
}

void ConsoleUi::ShowMessageBox(std::string_view text)
{
    std::string box(text);
    if (box.empty() || box.back() != '\n')
        box += '\n';
    WriteLines(STDERR_FILENO, box);
}

void ConsoleUi::ReportCause(std::string_view path, std::string_view reason)
{
    std::string line = "sylpic: ";
    line += path;
    line += ": ";
    line += reason;
    line += '\n';
    ClearProgress();
    WriteWhole(STDERR_FILENO, line);
}

}  // namespace sylpic
